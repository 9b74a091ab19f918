#include "ErrorOf.h"
#include "TestClock.h"

#include "platform/rtl/Clock.h"
#include "platform/rtl/Errors.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto convertMessage = &errorOf<rtl::ConvertError>;

TEST(Format, FloatToTextUsesTheGeneralFormat)
{
    EXPECT_EQ(rtl::floatToStr(12), "12");
    EXPECT_EQ(rtl::floatToStr(0), "0");
    EXPECT_EQ(rtl::floatToStr(-3), "-3");
    EXPECT_EQ(rtl::floatToStr(2.5), "2.5");
    EXPECT_EQ(rtl::floatToStr(1234567), "1234567"); // no thousands separator
    EXPECT_EQ(rtl::floatToStr(0.1 + 0.2), "0.3");   // 15 significant digits
    EXPECT_EQ(rtl::floatToStr(123456789012345.0), "123456789012345");
}

TEST(Format, TextToFloatAcceptsNumbersAndRefusesTheRest)
{
    EXPECT_DOUBLE_EQ(rtl::strToFloat("007"), 7);
    EXPECT_DOUBLE_EQ(rtl::strToFloat(" 12 "), 12);
    EXPECT_DOUBLE_EQ(rtl::strToFloat("2.5"), 2.5);
    EXPECT_EQ(convertMessage([] { rtl::strToFloat(""); }), "'' is not a valid floating point value");
    EXPECT_EQ(convertMessage([] { rtl::strToFloat("12a"); }), "'12a' is not a valid floating point value");
    EXPECT_EQ(convertMessage([] { rtl::strToFloat("1,5"); }), "'1,5' is not a valid floating point value");
    // A pasted quantity too large to hold would store an infinite stock.
    EXPECT_EQ(convertMessage([] { rtl::strToFloat("1e999"); }),
              "'1e999' is not a valid floating point value");
}

TEST(Format, DecimalSeparatorComesFromTheSettings)
{
    auto& fs = rtl::FormatSettings::current();
    const auto saved = fs;
    fs.decimalSeparator = QLatin1Char(',');
    EXPECT_EQ(rtl::floatToStr(2.5), "2,5");
    EXPECT_DOUBLE_EQ(rtl::strToFloat("2,5"), 2.5);
    EXPECT_THROW(rtl::strToFloat("2.5"), rtl::ConvertError);
    fs = saved;
}

TEST(Format, ShortDatesRoundTrip)
{
    EXPECT_EQ(rtl::dateToStr(QDate(2026, 1, 5)), "05/01/2026");
    EXPECT_EQ(rtl::strToDate("05/01/2026"), QDate(2026, 1, 5));
    EXPECT_EQ(rtl::strToDate(" 5/ 1/2026"), QDate(2026, 1, 5)); // blanks before day and month digits
    EXPECT_EQ(rtl::strToDate("31/12/2026"), QDate(2026, 12, 31));
    EXPECT_EQ(rtl::dateToStr(QDate()), "");
    EXPECT_EQ(rtl::dateTimeToStr(QDateTime(QDate(2026, 12, 9), QTime(7, 5, 3))), "09/12/2026 07:05:03");
}

TEST(Format, InvalidDatesAreRefusedWithTheirText)
{
    EXPECT_EQ(convertMessage([] { rtl::strToDate("31/02/2026"); }), "'31/02/2026' is not a valid date");
    EXPECT_EQ(convertMessage([] { rtl::strToDate("  /  /    "); }), "'  /  /    ' is not a valid date");
    EXPECT_EQ(convertMessage([] { rtl::strToDate("2026-12-09"); }), "'2026-12-09' is not a valid date");
    EXPECT_EQ(convertMessage([] { rtl::strToDate("09/12/2026x"); }), "'09/12/2026x' is not a valid date");
}

TEST(Clock, AnInstalledClockIsNow)
{
    const QDateTime fixed(QDate(2026, 12, 31), QTime(23, 59, 59));
    setClock(fixed);
    EXPECT_EQ(rtl::now(), fixed);
    EXPECT_EQ(rtl::today(), QDate(2026, 12, 31));
    resetClock();
    EXPECT_NE(rtl::now(), fixed);
}

TEST(Errors, InOutMessagesFollowTheErrorNumber)
{
    EXPECT_EQ(rtl::InOutError::fromErrno(EACCES).message(), "File access denied");
    EXPECT_EQ(rtl::InOutError::fromErrno(ENOSPC).message(), "Disk full");
    EXPECT_EQ(rtl::InOutError::fromErrno(EIO).message(), QStringLiteral("I/O error %1").arg(EIO));
}

class FilesTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir dir;
};

TEST_F(FilesTest, MemoTextNormalisesLineBreaksAndEndsAtNul)
{
    write("a", QByteArray("AB\nCD\rEF\r\nGH"));
    EXPECT_EQ(rtl::loadMemoText(path("a")), "AB\r\nCD\r\nEF\r\nGH");
    EXPECT_EQ(rtl::loadMemoText(path("a"), 4), "AB\r\nC");
    write("b", QByteArray("SECRET\0TAIL", 11));
    EXPECT_EQ(rtl::loadMemoText(path("b")), "SECRET");
    write("c", QByteArray());
    EXPECT_EQ(rtl::loadMemoText(path("c")), "");
    EXPECT_THROW(rtl::loadMemoText(path("missing")), rtl::InOutError);
}

TEST_F(FilesTest, OnlyARegularFileIsRead)
{
    // A named pipe would hold the reader until something writes to it.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("Pass.Txt")).constData(), 0644), 0);
    try {
        rtl::loadMemoText(path("Pass.Txt"));
        FAIL() << "a named pipe is no password file";
    } catch (const rtl::InOutError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"%1\".").arg(path("Pass.Txt"))))
            << e.message().toStdString();
    }
    EXPECT_THROW(rtl::loadMemoText(QStringLiteral("/dev/zero")), rtl::InOutError);
}

TEST_F(FilesTest, ReplacingContentsWritesInFullOrLeavesTheOldFile)
{
    write("Pass.Txt", "OLD");
    rtl::replaceFileContents(path("Pass.Txt"), "NEW");
    EXPECT_EQ(read("Pass.Txt"), "NEW");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left

    try {
        rtl::replaceFileContents(path("no/such/folder/Pass.Txt"), "X");
        FAIL() << "expected an input/output error";
    } catch (const rtl::InOutError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("I/O error %1").arg(ENOENT));
    }
    EXPECT_EQ(read("Pass.Txt"), "NEW");

    QFile::setPermissions(path("Pass.Txt"), QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    try {
        rtl::replaceFileContents(path("Pass.Txt"), "X");
        FAIL() << "a write-protected file must not be replaced";
    } catch (const rtl::InOutError& e) {
        EXPECT_EQ(e.message(), "File access denied");
    }
    EXPECT_EQ(read("Pass.Txt"), "NEW");
    QFile::setPermissions(path("Pass.Txt"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(rtl::fileExists(path("Pass.Txt")));
    EXPECT_FALSE(rtl::fileExists(dir.path())); // a folder is no file
    EXPECT_TRUE(rtl::deleteFile(path("Pass.Txt")));
    EXPECT_FALSE(rtl::deleteFile(path("Pass.Txt")));
}

TEST_F(FilesTest, ReplacingKeepsPermissionsAndOwnerAndFollowsALink)
{
    write("Pass.Txt", "OLD");
    const QByteArray file = QFile::encodeName(path("Pass.Txt"));
    ASSERT_EQ(::chmod(file.constData(), 0640), 0);
    const bool mayGiveAway = ::geteuid() == 0;
    if (mayGiveAway) {
        ASSERT_EQ(::chown(file.constData(), 65534, 65534), 0);
    }
    rtl::replaceFileContents(path("Pass.Txt"), "NEW");
    struct stat st {};
    ASSERT_EQ(::stat(file.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u) << "not readable by everyone now";
    if (mayGiveAway) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }

    // A link in the program's folder to a file elsewhere stays a link; the
    // file it names gets the new text, put in place within its own folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir("elsewhere"));
    write("elsewhere/real.txt", "OLD");
    ASSERT_TRUE(QFile::link(QStringLiteral("elsewhere/real.txt"), path("Link.Txt")));
    rtl::replaceFileContents(path("Link.Txt"), "LINKED");
    EXPECT_TRUE(QFileInfo(path("Link.Txt")).isSymLink());
    EXPECT_EQ(read("elsewhere/real.txt"), "LINKED");
    EXPECT_EQ(QDir(path("elsewhere")).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no temporary left";
}

} // namespace
