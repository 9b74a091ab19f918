#include "DialogScript.h"
#include "UiDriver.h"

#include "platform/image/Jpeg.h"
#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/MaskEdit.h"
#include "platform/ui/Memo.h"
#include "platform/ui/SpeedButton.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImageWriter>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStyleOption>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.setTitle(QStringLiteral("TORAMBU KESTI"));
        form.resize(300, 200);
        form.show();
        QApplication::setActiveWindow(&form);
    }
    void TearDown() override { clearModalSteps(); }
    ui::Application app;
    DialogScript dialogs;
    ui::Form form;
};

TEST_F(ControlsTest, EditTurnsTypedAndPastedLettersIntoCapitals)
{
    auto* edit = new ui::Edit(&form);
    edit->setUpperCase(true);
    edit->show();
    typeText(edit, QStringLiteral("abc 1x"));
    EXPECT_EQ(edit->text(), "ABC 1X");
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    edit->paste();
    EXPECT_EQ(edit->text(), "ABC 1XPASTED");
    edit->setText(QStringLiteral("koliba"));
    EXPECT_EQ(edit->text(), "KOLIBA");
    // One letter for one: a capital of two letters or beyond 8 bits is not
    // made, and the cursor stays after what was typed.
    edit->clear();
    typeText(edit, QStringLiteral("a\u00DFb\u00FFc\u00B5d\u00E9"));
    EXPECT_EQ(edit->text(), QStringLiteral("A\u00DFB\u00FFC\u00B5D\u00C9"));
    EXPECT_EQ(edit->cursorPosition(), 8);
    edit->setCursorPosition(1);
    typeText(edit, QStringLiteral("\u00DF"));
    EXPECT_EQ(edit->cursorPosition(), 2);
}

// A box the program focuses while its window is left is entered, its text
// selected, once the window is back; coming back alone or a click selects nothing.
TEST_F(ControlsTest, AnEditEnteredByTheProgramSelectsItsText)
{
    auto* edit = new ui::Edit(&form);
    edit->show();
    edit->setText(QStringLiteral("1"));
    QWidget other; // a message window
    other.show();
    QApplication::setActiveWindow(&other);
    edit->setFocus();
    QApplication::setActiveWindow(&form);
    typeText(edit, QStringLiteral("2"));
    QApplication::setActiveWindow(&other);
    QApplication::setActiveWindow(&form);
    typeText(edit, QStringLiteral("3"));
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, 10));
    typeText(edit, QStringLiteral("4"));
    EXPECT_EQ(edit->text(), "423");
}

TEST_F(ControlsTest, ComposedInputPassesTheKeyFilters)
{
    auto* digits = new ui::Edit(&form);
    digits->OnKeyPress = [](QChar& key) {
        if (!key.isDigit())
            key = QChar(0);
    };
    auto* name = new ui::Edit(&form);
    name->setUpperCase(true);
    const auto compose = [](ui::Edit* edit, const QString& committed) {
        QInputMethodEvent event(QString(), {});
        event.setCommitString(committed);
        QApplication::sendEvent(edit, &event);
    };
    compose(digits, QStringLiteral("\u00C97"));
    EXPECT_EQ(digits->text(), "7") << "a dead key's \u00C9 is no digit";
    compose(name, QStringLiteral("\u00E9\u00DF"));
    EXPECT_EQ(name->text(), QStringLiteral("\u00C9\u00DF"));
}

TEST_F(ControlsTest, ControlCharactersNeverEnterTheBox)
{
    auto* edit = new ui::Edit(&form);
    edit->show();
    edit->setFocus();
    QApplication::clipboard()->setText(QString::fromUtf16(u"AB\tC\r\nD\0E", 10));
    pressKey(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "ABCDE");
    EXPECT_EQ(edit->cursorPosition(), 5);
    edit->setText(QString::fromUtf16(u"X\0Y", 3));
    EXPECT_EQ(edit->text(), "XY");
}

// A length limit counts whole characters: one beyond 16 bits fits as one
// and is never cut in half. Invisible format characters never come in.
TEST_F(ControlsTest, ALengthLimitCountsWholeCharacters)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMN"), smile = QString::fromUcs4(U"\U0001F600");
    auto* edit = new ui::Edit(&form);
    edit->setMaxLength(15);
    QApplication::clipboard()->setText(QString::fromUtf16(u"\u202E\u200B") + letters + smile + smile);
    edit->paste();
    EXPECT_EQ(edit->text(), letters + smile);
    edit->setText(letters);
    for (int typed = 0; typed < 2; ++typed)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, smile, Qt::NoModifier);
    EXPECT_EQ(edit->text(), letters + smile);
    edit->setText(letters + "OP");
    EXPECT_EQ(edit->text(), letters + "O");
}

TEST_F(ControlsTest, PasswordSignShowsForEveryCharacter)
{
    for (const QString& sign : {QStringLiteral("$"), QStringLiteral("%"), QStringLiteral("*")}) {
        auto* edit = new ui::Edit(&form);
        edit->setUpperCase(true);
        edit->setPasswordChar(sign);
        edit->show();
        typeText(edit, QStringLiteral("ab1"));
        EXPECT_EQ(edit->text(), "AB1");
        EXPECT_EQ(edit->displayText(), sign.repeated(3));
    }
}

TEST_F(ControlsTest, KeyPressSeesEveryTypedKeyByReference)
{
    auto* edit = new ui::Edit(&form);
    auto* button = new ui::Button(&form);
    button->setText(QStringLiteral("&Simpan"));
    int buttonClicks = 0;
    button->OnClick = [&] { ++buttonClicks; };
    edit->show();
    button->show();
    std::vector<int> seen;
    edit->OnKeyPress = [&](QChar& key) {
        seen.push_back(key.unicode());
        if (key == QLatin1Char('x'))
            key = QLatin1Char('y'); // changed
        else if (!(key.isDigit() || key == QChar(8) || key == QChar(13) || key == QLatin1Char('y')))
            key = QChar(0); // dropped
    };
    edit->setFocus();
    typeText(edit, QStringLiteral("1a2x"));
    EXPECT_EQ(edit->text(), "12y");
    pressKey(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), "12");
    pressEnter(edit);
    EXPECT_EQ(seen, std::vector<int>({'1', 'a', '2', 'x', 8, 13}));
    EXPECT_EQ(buttonClicks, 0) << "Enter in an edit never clicks a button";
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(ControlsTest, ButtonFocusedAfterEnterShowsItsFocusFrame)
{
    auto* edit = new ui::Edit(&form);
    auto* button = new ui::Button(&form);
    button->setText(QStringLiteral("&Simpan"));
    edit->OnKeyPress = [&](QChar& key) {
        if (key == QChar(13))
            button->setFocus();
    };
    edit->show();
    button->show();
    edit->setFocus();
    pressEnter(edit);
    QStyleOptionButton look;
    look.initFrom(button);
    EXPECT_TRUE(look.state & QStyle::State_HasFocus);
    EXPECT_TRUE(look.state & QStyle::State_KeyboardFocusChange) << "drawn with its focus frame";
}

TEST_F(ControlsTest, KeyHandlerErrorShowsErrorWindowAndDropsTheKey)
{
    auto* edit = new ui::Edit(&form);
    edit->show();
    edit->OnKeyPress = [&](QChar& key) {
        if (key == QChar(13))
            throw rtl::ConvertError("'1a' is not a valid floating point value");
    };
    int changes = 0;
    edit->OnChange = [&] { ++changes; };
    typeText(edit, QStringLiteral("1a"));
    pressEnter(edit);
    EXPECT_EQ(edit->text(), "1a");
    EXPECT_EQ(changes, 2);
    edit->setText(QString());
    EXPECT_EQ(changes, 3) << "a change by the program counts too";
    ASSERT_EQ(dialogs.count(DialogScript::Error), 1);
    EXPECT_EQ(dialogs.last().text, "'1a' is not a valid floating point value.");
}

TEST_F(ControlsTest, FocusedButtonTakesEnterAndSpace)
{
    auto* button = new ui::Button(&form);
    button->setText(QStringLiteral("&Access"));
    button->show();
    int clicks = 0;
    button->OnClick = [&] { ++clicks; };
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(button->autoDefault());
    pressEnter(button);
    pressKey(button, Qt::Key_Space);
    click(button);
    EXPECT_EQ(clicks, 3);
    button->hide();
    click(button);
    EXPECT_EQ(clicks, 3) << "a hidden button takes no click";
}

TEST_F(ControlsTest, TypedLetterGoesToTheFirstButtonCarryingIt)
{
    std::vector<int> clicked;
    const QStringList captions = {QStringLiteral("&Input"), QStringLiteral("&Laporan Penerimaan"),
                                  QStringLiteral("&Close"), QStringLiteral("&Laporan Minimum")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* b = new ui::SpeedButton(&form);
        b->setText(captions[i]);
        b->setGeometry(10, 10 + 30 * i, 200, 25);
        b->OnClick = [&clicked, i] { clicked.push_back(i); };
        b->show();
    }
    // Raised above the last one, the second lies after it in stacking
    // order, yet creation order decides.
    form.findChildren<ui::SpeedButton*>().at(1)->raise();
    pressKey(&form, Qt::Key_L);
    pressKey(&form, Qt::Key_L, Qt::AltModifier);
    pressKey(&form, Qt::Key_L, Qt::AltModifier);
    pressKey(&form, Qt::Key_C);
    pressKey(&form, Qt::Key_I, Qt::AltModifier);
    pressKey(&form, Qt::Key_Q);
    EXPECT_EQ(clicked, std::vector<int>({1, 1, 1, 2, 0}));
}

TEST_F(ControlsTest, AltLetterInAnEditTypesNothing)
{
    auto* edit = new ui::Edit(&form);
    auto* simpan = new ui::Button(&form);
    simpan->setText(QStringLiteral("&Simpan"));
    simpan->setEnabled(false);
    auto* batal = new ui::Button(&form);
    batal->setText(QStringLiteral("&Batal"));
    int clicks = 0, changes = 0, offered = 0;
    simpan->OnClick = batal->OnClick = [&] { ++clicks; };
    edit->OnChange = [&] { ++changes; };
    edit->OnKeyPress = [&](QChar&) { ++offered; };
    edit->show();
    simpan->show();
    batal->show();
    edit->setFocus();
    pressKey(edit, Qt::Key_S, Qt::AltModifier); // its button is disabled
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(offered, 0);
    EXPECT_EQ(clicks, 0);
    pressKey(edit, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(edit->text(), "");
    // Ctrl+Alt is AltGr: it types its character.
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_Q, QStringLiteral("@"),
                        Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(edit->text(), "@");
}

TEST_F(ControlsTest, Latin1OnlyEditTakesNoOtherCharacter)
{
    auto* edit = new ui::Edit(&form);
    edit->setUpperCase(true);
    edit->setLatin1Only(true);
    edit->show();
    edit->setFocus();
    typeText(edit, QStringLiteral("a\u20AC\u00E9\u0142\u00A0b"));
    EXPECT_EQ(edit->text(), QStringLiteral("A\u00C9\u00A0B"));
    QApplication::clipboard()->setText(QStringLiteral("x\u0142"));
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("A\u00C9\u00A0B")) << "refused as a whole";
    QApplication::clipboard()->setText(QStringLiteral("\u00E7"));
    edit->paste();
    EXPECT_EQ(edit->text(), QStringLiteral("A\u00C9\u00A0B\u00C7"));
}

TEST_F(ControlsTest, SpeedButtonRepaintsOnlyOnARealChange)
{
    auto* b = new ui::SpeedButton(&form);
    b->setText(QStringLiteral("&Close"));
    b->setGeometry(10, 10, 200, 30);
    b->show();
    QFont f = b->font();
    f.setPointSize(10);
    b->setFont(f);
    b->setFontColor(Qt::blue);
    QApplication::processEvents();

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    b->installEventFilter(&counter);
    b->setFontSize(10);
    b->setFontColor(Qt::blue);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    b->setFontSize(12);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    b->setFontColor(Qt::red);
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 2);
    EXPECT_EQ(b->fontSize(), 12);
    EXPECT_EQ(b->font().pixelSize(), 16) << "points at 96 dpi";
    EXPECT_TRUE(b->font().bold() == f.bold());
    f.setPixelSize(11);
    b->setFont(f);
    EXPECT_EQ(b->fontSize(), 8);
}

TEST_F(ControlsTest, JpegDecodedWithItsOwnDecoder)
{
    QImage source(64, 32, QImage::Format_RGB32);
    source.fill(QColor(200, 30, 40));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "jpeg").write(source));
    const QImage decoded = ui::decodeJpeg(bytes);
    ASSERT_EQ(decoded.size(), QSize(64, 32));
    const QColor c = decoded.pixelColor(10, 10);
    EXPECT_NEAR(c.red(), 200, 8);
    EXPECT_NEAR(c.green(), 30, 8);
    EXPECT_NEAR(c.blue(), 40, 8);
    EXPECT_THROW(ui::decodeJpeg(QByteArray("not a picture")), rtl::Error);
    EXPECT_THROW(ui::decodeJpeg(bytes.left(bytes.size() / 3)), rtl::Error);
    EXPECT_THROW(ui::loadJpeg(QStringLiteral("/nonexistent/logo.jpg")), rtl::Error);
}

TEST_F(ControlsTest, ImageSizesItselfToItsPicture)
{
    QImage source(40, 20, QImage::Format_RGB32);
    source.fill(Qt::white);
    auto* image = new ui::Image(&form);
    image->setAutoSize(true);
    image->setImage(source);
    EXPECT_EQ(image->size(), QSize(40, 20));

    // From a file: sized at once, its pixels there when asked for; a file
    // that cannot be read raises at once.
    QTemporaryDir dir;
    for (const char* name : {"p.png", "p.jpg"}) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        ASSERT_TRUE(QImage(30, 10, QImage::Format_RGB32).save(path));
        image->setPicture(path);
        EXPECT_EQ(image->size(), QSize(30, 10)) << name;
        EXPECT_EQ(image->image().size(), QSize(30, 10)) << name;
        EXPECT_THROW(image->setPicture(dir.filePath(QStringLiteral("missing/") + QString::fromLatin1(name))),
                     rtl::Error);
    }
}

TEST_F(ControlsTest, MemoJoinsLinesWithCrLf)
{
    auto* memo = new ui::Memo(&form);
    memo->setText(QStringLiteral("ABC\r\nDEF\r\n"));
    EXPECT_EQ(memo->text(), "ABC\r\nDEF\r\n");
    memo->setText(QStringLiteral("ONE"));
    EXPECT_EQ(memo->text(), "ONE");
    memo->clear();
    EXPECT_EQ(memo->text(), "");
    // Read back as it was put in, a no-break space too.
    memo->setText(QStringLiteral("A\u00A0B\nC"));
    EXPECT_EQ(memo->text(), QStringLiteral("A\u00A0B\r\nC"));
}

TEST_F(ControlsTest, CoveredMemoKeepsItsTextWithoutLayingItOut)
{
    // The login's memo lies under its entry: a long password file must not
    // be laid out there.
    auto* memo = new ui::Memo(&form);
    memo->setGeometry(145, 89, 119, 20);
    auto* entry = new ui::Edit(&form);
    entry->setGeometry(144, 88, 121, 21);
    memo->show();
    entry->show();
    const QString line(200000, QLatin1Char('A'));
    memo->setText(line + QStringLiteral("\r\nB"));
    form.grab();
    EXPECT_TRUE(memo->document()->isEmpty()) << "nothing laid out";
    EXPECT_EQ(memo->text(), line + QStringLiteral("\r\nB"));

    // Reached by Tab, it holds its text for editing; uncovered, it shows it.
    memo->setText(QStringLiteral("AB\rC"));
    memo->setFocus();
    EXPECT_EQ(memo->document()->toPlainText(), "AB\nC");
    typeText(memo, QStringLiteral("x"));
    EXPECT_EQ(memo->text(), "xAB\r\nC");
    entry->hide();
    memo->setText(QStringLiteral("SHOWN"));
    EXPECT_EQ(memo->document()->toPlainText(), "SHOWN");
}

// The date mask "!99/99/0000;1;_": day and month may be typed in one digit,
// the year's four digits must be.
class MaskEditTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        date = new ui::MaskEdit(&form);
        date->setEditMask(QStringLiteral("!99/99/0000;1;_"));
        other = new ui::Edit(&form);
        button = new ui::Button(&form);
        button->move(0, 60);
        button->OnClick = [this] { ++clicks; };
        for (QWidget* w :
             {static_cast<QWidget*>(date), static_cast<QWidget*>(other), static_cast<QWidget*>(button)})
            w->show();
        date->setFocus();
    }
    // Types into the box as it is entered: everything selected.
    void retype(const QString& text)
    {
        date->setFocus();
        date->selectAll();
        typeText(date, text);
    }
    static QStringList refusals(const DialogScript& dialogs)
    {
        QCoreApplication::processEvents(); // the error window comes after the step
        return dialogs.texts(DialogScript::Error);
    }
    ui::MaskEdit* date = nullptr;
    ui::Edit* other = nullptr;
    ui::Button* button = nullptr;
    int clicks = 0;
};

// The mask's own rules are tested on EditMask; here the box hands them
// its keys, pastes and its line edit's entry points.
TEST_F(MaskEditTest, KeysAndPastesGoThroughTheMask)
{
    EXPECT_EQ(date->text(), "  /  /    ");
    EXPECT_EQ(date->displayText(), "__/__/____");
    typeText(date, QStringLiteral("05032024"));
    EXPECT_EQ(date->text(), "05/03/2024");
    retype(QStringLiteral("1/3/2024"));
    EXPECT_EQ(date->displayText(), "_1/_3/2024");
    typeText(date, QStringLiteral("7x"));
    EXPECT_EQ(date->text(), " 1/ 3/2024");
    // Backspace and Delete empty places and move nothing.
    retype(QStringLiteral("12/10/2023"));
    date->setCursorPosition(3);
    pressKey(date, Qt::Key_Backspace);
    EXPECT_EQ(date->text(), "1 /10/2023");
    date->setCursorPosition(6);
    pressKey(date, Qt::Key_Delete);
    EXPECT_EQ(date->text(), "1 /10/ 023");
    // A paste is typed in character by character, the same for the line
    // edit's own entry points.
    QApplication::clipboard()->setText(QStringLiteral("9/4/2025"));
    date->selectAll();
    pressKey(date, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(date->text(), " 9/ 4/2025");
    date->selectAll();
    date->QLineEdit::paste();
    date->QLineEdit::insert(QStringLiteral("77"));
    EXPECT_EQ(date->text(), " 9/ 4/2025");
    // The program's text is placed into the mask and is no change of the user's.
    date->setText(QStringLiteral("05/03/2024"));
    EXPECT_EQ(date->displayText(), "05/03/2024");
    EXPECT_FALSE(date->modified());
    date->QLineEdit::clear();
    EXPECT_EQ(date->text(), "  /  /    ");
}

TEST_F(MaskEditTest, AnIncompleteYearKeepsTheFocusUntilEscAbandonsTheChanges)
{
    const QString refusal = QStringLiteral("Invalid input value.  Use escape key to abandon changes.");
    // Untouched, the empty box may be left.
    pressKey(date, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_TRUE(refusals(dialogs).isEmpty());

    date->setFocus();
    typeText(date, QStringLiteral("010320"));
    pressKey(date, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(date->cursorPosition(), 8) << "at the first empty place that must be typed";
    EXPECT_EQ(refusals(dialogs), QStringList{refusal});
    // Nor by the mouse, whose click does nothing, nor by the program.
    click(button);
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(clicks, 0);
    other->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), date);
    EXPECT_EQ(refusals(dialogs), (QStringList{refusal, refusal, refusal}));
    EXPECT_EQ(date->text(), "01/03/20  ");

    // Esc gives back the text the box had when it was entered.
    pressKey(date, Qt::Key_Escape);
    EXPECT_EQ(date->text(), "  /  /    ");
    click(button);
    EXPECT_EQ(clicks, 1);

    // The optional day and month may stay empty; the year may not.
    date->setText(QStringLiteral("05/03/2024"));
    retype(QStringLiteral("//2024"));
    EXPECT_EQ(date->text(), "  /  /2024");
    other->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), other);
    retype(QStringLiteral("1"));
    pressKey(date, Qt::Key_Escape);
    EXPECT_EQ(date->text(), "  /  /2024");
    other->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), other);
    EXPECT_EQ(refusals(dialogs).size(), 3);
}

TEST_F(ControlsTest, MenuItemsRunThroughTheGuard)
{
    auto* bar = new QMenuBar(&form);
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    QAction* open = file->addAction(QStringLiteral("Ganti Password"));
    file->addSeparator();
    QMenu* sub = file->addMenu(QStringLiteral("Cetak Ulang"));
    QAction* reprint = sub->addAction(QStringLiteral("Daftar Barang Keluar"));
    QAction* onBar = bar->addAction(QStringLiteral(" About Me "));
    form.setMenuBar(bar);
    bar->show();
    std::vector<std::string> ran;
    ui::onMenuClick(open, [&] { ran.push_back("open"); });
    ui::onMenuClick(reprint, [&] { ran.push_back("reprint"); });
    ui::onMenuClick(onBar, [&] {
        ran.push_back("about");
        throw rtl::Error("Boom");
    });
    clickMenu(open);
    clickMenu(reprint);
    clickMenu(onBar);
    EXPECT_EQ(ran, std::vector<std::string>({"open", "reprint", "about"}));
    EXPECT_EQ(dialogs.texts(DialogScript::Error), QStringList({"Boom."}));
}

} // namespace
