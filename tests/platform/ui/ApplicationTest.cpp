#include "DialogScript.h"
#include "UiDriver.h"

#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

// A window with one button, built in code.
class TestForm : public ui::Form {
public:
    TestForm()
    {
        resize(200, 100);
        Button1 = new ui::Button(this);
        Button1->setText(QStringLiteral("&Go"));
        Button1->setGeometry(10, 10, 75, 25);
        OnActivate = [this] { ++activations; };
    }
    ui::Button* Button1;
    int activations = 0;
};

struct Plain {
    explicit Plain() { log().push_back("make plain"); }
    ~Plain() { log().push_back("drop plain"); }
    static std::vector<std::string>& log()
    {
        static std::vector<std::string> l;
        return l;
    }
};

struct LoggedForm : TestForm {
    ~LoggedForm() override { Plain::log().push_back("drop form"); }
};

TestForm* FormA = nullptr;
TestForm* FormB = nullptr;
TestForm* FormC = nullptr;
Plain* Module = nullptr;
LoggedForm* Logged = nullptr;

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override { app.setTitle(QStringLiteral("TORAMBU KESTI")); }
    void TearDown() override { clearModalSteps(); }
    ui::Application app;
    DialogScript dialogs;
};

TEST(FullStop, AddedAfterLettersAndDigitsOnly)
{
    EXPECT_EQ(ui::withFullStop("Table is busy"), "Table is busy.");
    EXPECT_EQ(ui::withFullStop("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(ui::withFullStop("Password Salah...!"), "Password Salah...!");
    EXPECT_EQ(ui::withFullStop("done."), "done.");
    EXPECT_EQ(ui::withFullStop("(see above)"), "(see above)");
    EXPECT_EQ(ui::withFullStop("trailing blank "), "trailing blank ");
    EXPECT_EQ(ui::withFullStop("slash/"), "slash/.");
    EXPECT_EQ(ui::withFullStop(""), "");
}

TEST_F(ApplicationTest, FirstFormCreatedIsTheMainWindow)
{
    Plain::log().clear();
    app.createForm(Module);
    app.createForm(Logged);
    app.createForm(FormA);
    ASSERT_NE(Module, nullptr);
    EXPECT_EQ(app.mainForm(), Logged) << "a plain object never becomes the main window";
    EXPECT_FALSE(Logged->isVisible()) << "created hidden";
    EXPECT_FALSE(FormA->isVisible());
}

TEST_F(ApplicationTest, CaptionsReachTheWindowSystemAsWritten)
{
    // Qt appends an application display name to the caption it gives the
    // window system; the title is the program's name, not such a display name.
    app.createForm(FormA);
    FormA->setWindowTitle(QStringLiteral(" Password Dialog "));
    FormA->show();
    EXPECT_EQ(FormA->windowHandle()->title(), " Password Dialog ");
    EXPECT_EQ(QCoreApplication::applicationName(), "TORAMBU KESTI");
    QCoreApplication::setApplicationName(QStringLiteral("another name"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "another name") << "no display name of its own";
    QCoreApplication::setApplicationName(app.title());
    FormA->hide();
}

// Runs the step inside the next real message window's loop.
void inMessageWindow(std::function<void(QMessageBox* box)> step)
{
    QTimer::singleShot(0, [step = std::move(step)] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        step(box);
        if (box->isVisible()) {
            ADD_FAILURE() << "the window is still open";
            box->done(0);
        }
    });
}

TEST_F(ApplicationTest, QuestionsHaveNoEscapeAnswerAndAPlainMessageTakesEnterSpaceOrEsc)
{
    ui::setDialogResponder(nullptr); // the real windows
    const auto roomForCaption = [](QMessageBox* box) {
        QFont bold = box->font();
        bold.setBold(true);
        return QFontMetrics(bold).horizontalAdvance(box->windowTitle()) +
               2 * box->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    };
    inMessageWindow([&](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), "Konfirmasi");
        pressKey(box->focusWidget(), Qt::Key_Escape);
        box->windowHandle()->close();
        EXPECT_TRUE(box->isVisible()) << "only Yes or No answers";
        click(box->button(QMessageBox::No));
    });
    EXPECT_EQ(ui::messageBox(QStringLiteral("Yakin Akan Keluar Dari Aplikasi"), QStringLiteral("Konfirmasi"),
                             ui::mbYesNo | ui::mbIconQuestion),
              ui::idNo);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape}) {
        inMessageWindow([&](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), "TORAMBU KESTI");
            EXPECT_GE(box->width(), roomForCaption(box)) << "the caption is not cut";
            pressKey(box->focusWidget(), key);
        });
        ui::showMessage(QStringLiteral("Password Salah...!"));
    }
    ui::setDialogResponder(&dialogs);
}

// Centred on the screen, frame included, and kept on it: a text too long for
// the screen scrolls, an ordinary one does not; the error window is as wide as
// its first line.
TEST_F(ApplicationTest, MessageWindowsAreCentredOnTheScreenAndStayWithinIt)
{
    ui::setDialogResponder(nullptr); // the real windows
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    inMessageWindow([&](QMessageBox* box) {
        EXPECT_LE((box->frameGeometry().center() - screen.center()).manhattanLength(), 1);
        EXPECT_FALSE(box->findChild<QScrollArea*>());
        pressKey(box->focusWidget(), Qt::Key_Return);
    });
    ui::showMessage(QStringLiteral("Kode Barang : ZZZZZ Tidak Terdaftar...!"));
    inMessageWindow([&](QMessageBox* box) {
        EXPECT_TRUE(screen.contains(box->frameGeometry()));
        EXPECT_TRUE(box->findChild<QScrollArea*>());
        pressKey(box->focusWidget(), Qt::Key_Return);
    });
    ui::showMessage(QStringLiteral("Kode Barang : %1 Tidak Terdaftar...!").arg(QString(3000, 'A')));
    inMessageWindow([&](QMessageBox* box) {
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        const int lines = label->heightForWidth(label->width()) / label->fontMetrics().lineSpacing();
        EXPECT_EQ(lines, 2);
        pressKey(box->focusWidget(), Qt::Key_Return);
    });
    ui::showErrorBox(QStringLiteral("Application Error"),
                     QStringLiteral("Exception DatabaseError in module torambu-kesti at 0000561DC29BC5C0.\n"
                                    "Unknown database alias: Stock."));
    ui::setDialogResponder(&dialogs);
}

TEST(ApplicationLifetime, DestroysObjectsInReverseOrderAndClearsReferences)
{
    Plain::log().clear();
    {
        ui::Application app;
        app.createForm(Logged);
        app.createForm(Module);
    }
    EXPECT_EQ(Plain::log(), std::vector<std::string>({"make plain", "drop plain", "drop form"}));
    EXPECT_EQ(Module, nullptr);
    EXPECT_EQ(Logged, nullptr);
}

TEST(ApplicationLifetime, FailingConstructorRecordsNothing)
{
    struct Failing {
        Failing() { throw rtl::DatabaseError("TBarang: Table does not exist"); }
    };
    static Failing* failing = nullptr;
    ui::Application app;
    app.createForm(FormA);
    EXPECT_THROW(app.createForm(failing), rtl::DatabaseError);
    EXPECT_EQ(failing, nullptr);
    EXPECT_EQ(app.mainForm(), FormA);
}

TEST_F(ApplicationTest, ErrorInHandlerShowsErrorWindowAndLoopGoesOn)
{
    app.createForm(FormA);
    int clicks = 0;
    FormA->Button1->OnClick = [&] {
        ++clicks;
        if (clicks == 1)
            throw rtl::DatabaseError("TBarang: Key violation");
        if (clicks == 2)
            throw rtl::ConvertError("'' is not a valid floating point value");
        if (clicks == 3)
            throw rtl::Error("Stopped...!");
        app.terminate();
    };
    whileRunning([&] {
        click(FormA->Button1);
        click(FormA->Button1);
        click(FormA->Button1);
        EXPECT_TRUE(FormA->isVisible()) << "the window stays open";
        click(FormA->Button1);
    });
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(clicks, 4);
    ASSERT_EQ(dialogs.count(DialogScript::Error), 3);
    for (const auto& call : dialogs.calls())
        EXPECT_EQ(call.caption, "TORAMBU KESTI");
    EXPECT_EQ(
        dialogs.texts(DialogScript::Error),
        QStringList({"TBarang: Key violation.", "'' is not a valid floating point value.", "Stopped...!"}));
}

TEST_F(ApplicationTest, EndRequestClosesNestedModalFormsFromTheInnermost)
{
    app.createForm(FormA);
    app.createForm(FormB);
    app.createForm(FormC);
    std::vector<std::string> trail;
    bool closeAsked = false;
    FormB->OnClose = [&](bool&) { closeAsked = true; };
    FormC->OnClose = [&](bool&) { closeAsked = true; };
    FormA->Button1->OnClick = [&] {
        const int r = FormB->showModal();
        trail.push_back("A's handler goes on, B gave " + std::to_string(r));
    };
    FormB->Button1->OnClick = [&] {
        const int r = FormC->showModal();
        trail.push_back("B's handler goes on, C gave " + std::to_string(r));
        EXPECT_FALSE(FormC->isVisible());
        EXPECT_TRUE(FormB->isVisible()) << "B closes after its opener's handler returns";
    };
    FormC->Button1->OnClick = [&] {
        app.terminate();
        trail.push_back("C's handler ends");
    };
    whileRunning([&] { click(FormA->Button1); });
    whileModal([&] {
        EXPECT_TRUE(FormB->isModalOpen());
        click(FormB->Button1);
    });
    whileModal([&] {
        // The forms behind a modal one take no clicks.
        click(FormB->Button1);
        click(FormA->Button1);
        EXPECT_EQ(app.modalForms().size(), 2u);
        click(FormC->Button1);
    });
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(trail, std::vector<std::string>({"C's handler ends", "B's handler goes on, C gave 2",
                                               "A's handler goes on, B gave 2"}));
    EXPECT_FALSE(closeAsked) << "the end request does not raise the close event";
    EXPECT_FALSE(FormB->isVisible());
    EXPECT_FALSE(FormC->isVisible());
    EXPECT_TRUE(app.terminated());
    EXPECT_EQ(FormB->showModal(), ui::mrCancel) << "nothing opens once the program ends";
}

TEST_F(ApplicationTest, ClosingTheMainFormIsTheEndRequest)
{
    app.createForm(FormA);
    int endings = 0;
    QObject::connect(&app, &ui::Application::ending, [&] { ++endings; });
    whileRunning([&] { FormA->windowHandle()->close(); });
    EXPECT_EQ(app.run(), 0);
    EXPECT_EQ(endings, 1);
}

TEST_F(ApplicationTest, ModalFormClosesByCloseBoxOrByResult)
{
    app.createForm(FormA);
    app.createForm(FormB);
    whileModal([&] { FormB->windowHandle()->close(); });
    EXPECT_EQ(FormB->showModal(), ui::mrCancel);
    whileModal([&] { FormB->setModalResult(ui::mrOk); });
    EXPECT_EQ(FormB->showModal(), ui::mrOk);
    // A close handler may keep it open.
    bool allow = false;
    FormB->OnClose = [&](bool& ok) { ok = allow; };
    whileModal([&] {
        FormB->windowHandle()->close();
        EXPECT_TRUE(FormB->isVisible());
        allow = true;
        FormB->closeForm();
    });
    EXPECT_EQ(FormB->showModal(), ui::mrCancel);
    EXPECT_FALSE(FormB->isVisible());
}

TEST_F(ApplicationTest, FormWithoutCloseBoxIgnoresTheWindowManager)
{
    app.createForm(FormA);
    app.createForm(FormB);
    FormB->setCloseBox(false);
    EXPECT_FALSE(FormB->windowFlags() & Qt::WindowCloseButtonHint);
    whileModal([&] {
        FormB->windowHandle()->close(); // Alt+F4 or the window manager
        pressKey(FormB, Qt::Key_Escape);
        EXPECT_TRUE(FormB->isVisible());
        FormB->closeForm(); // its own button
    });
    EXPECT_EQ(FormB->showModal(), ui::mrCancel);
}

// The window manager's minimise and maximise, which no form offers, undone.
TEST_F(ApplicationTest, AFormIsNeverLeftMinimisedOrMaximised)
{
    app.createForm(FormA);
    FormA->show();
    const QRect normal = FormA->geometry();
    for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        FormA->setWindowState(state); // a title-bar button of the window manager
        QCoreApplication::processEvents();
        EXPECT_EQ(FormA->windowState(), Qt::WindowNoState);
        EXPECT_EQ(FormA->geometry(), normal);
    }
    FormA->hide();
}

TEST_F(ApplicationTest, ActivationRunsOnOpeningAndAfterANonModalWindowOnly)
{
    app.createForm(FormA);
    app.createForm(FormB);
    app.createForm(FormC);
    QWidget* preview = nullptr;
    int previewClicks = 0;
    FormB->Button1->OnClick = [&] { ui::showMessage(QStringLiteral("Data Tersimpan...!")); };
    whileModal([&] {
        EXPECT_EQ(FormB->activations, 1) << "opening activates once";
        // A message window, then a modal child: neither runs it again.
        click(FormB->Button1);
        QWidget message;
        message.show();
        activate(&message);
        message.hide();
        activate(FormB);
        EXPECT_EQ(FormB->activations, 1);
        whileModal([&] { FormC->closeForm(); });
        FormC->showModal();
        activate(FormB);
        EXPECT_EQ(FormB->activations, 1);

        // A non-modal window opened from the modal form is not blocked by it.
        preview = new QWidget;
        preview->resize(100, 100);
        auto* printButton = new QPushButton(QStringLiteral("Print"), preview);
        QObject::connect(printButton, &QPushButton::clicked, [&] { ++previewClicks; });
        ui::markNonModal(preview);
        preview->show();
        activate(preview);
        QTest::mouseClick(preview->windowHandle(), Qt::LeftButton, {}, printButton->geometry().center());
        EXPECT_EQ(previewClicks, 1);
        EXPECT_EQ(FormB->activations, 1);
        // Another program in between changes nothing...
        activate(nullptr);
        activate(preview);
        EXPECT_EQ(FormB->activations, 1);
        // ...coming back to the form while the preview is open does...
        activate(nullptr);
        activate(FormB);
        EXPECT_EQ(FormB->activations, 2);
        activate(nullptr);
        activate(FormB);
        EXPECT_EQ(FormB->activations, 2) << "back from another program";
        // ...and so does closing the preview, once the user was in it.
        activate(preview);
        EXPECT_EQ(FormB->activations, 2);
        preview->close();
        EXPECT_EQ(FormB->activations, 3);
        preview->show();
        activate(FormB);
        preview->close();
        EXPECT_EQ(FormB->activations, 4) << "closing it from the form does not come back twice";
        FormB->closeForm();
    });
    FormB->showModal();
    EXPECT_EQ(dialogs.texts(), QStringList({"Data Tersimpan...!"}));
    EXPECT_EQ(FormC->activations, 1);
    delete preview;
}

} // namespace
