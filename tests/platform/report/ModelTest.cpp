#include "ReportTestSupport.h"

#include "platform/report/Model.h"
#include "platform/rtl/Errors.h"

#include <gtest/gtest.h>

using namespace report;

TEST(LayoutModel, ReadsPageSettingsBandsAndItemsWithTheFramesDefaults)
{
    const auto model = parseLayout(QStringLiteral("Test"), testLayoutJson(), testFrameJson());
    EXPECT_EQ(model->dataSetName, "Lines");
    EXPECT_EQ(model->orientation, Orientation::Portrait);
    EXPECT_DOUBLE_EQ(model->marginTop, 12.7);
    EXPECT_DOUBLE_EQ(model->marginLeft, 12.7);
    EXPECT_NEAR(model->bandWidth(), 184.6, 1e-9);
    EXPECT_TRUE(model->printIfEmpty);
    ASSERT_EQ(model->bands().size(), 4u);
    EXPECT_EQ(model->band(BandType::Summary)->name(), "Summary");
    EXPECT_TRUE(model->band(BandType::Summary)->alignToBottom);
    EXPECT_TRUE(model->band(BandType::Title)->frame.bottom);
    EXPECT_FALSE(model->band(BandType::Title)->frame.top);

    auto* heading = dynamic_cast<Label*>(model->findItem(QStringLiteral("heading")));
    ASSERT_TRUE(heading);
    EXPECT_EQ(heading->font, (FontSpec{QStringLiteral("Arial"), 14, true, false}));
    EXPECT_EQ(heading->band()->type(), BandType::Title);
    auto* address = dynamic_cast<Label*>(model->findItem(QStringLiteral("Address")));
    EXPECT_EQ(address->caption(), "Jl. Contoh 1, Kota"); // from the frame's texts
    EXPECT_EQ(address->font, (FontSpec{QStringLiteral("Arial"), 10, true, false}));
    auto* code = dynamic_cast<DBText*>(model->findItem(QStringLiteral("Code")));
    ASSERT_TRUE(code);
    EXPECT_EQ(code->dataField, "Code");
    EXPECT_TRUE(code->autoSize);
    EXPECT_EQ(code->alignment, Alignment::Left);
    auto* logo = dynamic_cast<Image*>(model->findItem(QStringLiteral("Logo")));
    ASSERT_TRUE(logo);
    EXPECT_EQ(logo->picture.size(), QSize(81, 81));
    EXPECT_FALSE(logo->stretch);

    const auto landscape =
        parseLayout(QStringLiteral("Test"), testLayoutJson({}, QStringLiteral("landscape")), testFrameJson());
    EXPECT_DOUBLE_EQ(landscape->pageWidth(), 297);
    EXPECT_NEAR(landscape->bandWidth(), 271.6, 1e-9);
}

TEST(LayoutModel, RefusesDefinitionsItCannotPrint)
{
    auto refuses = [](const QByteArray& json, const QString& part) {
        try {
            parseLayout(QStringLiteral("Test"), json, testFrameJson());
            ADD_FAILURE() << "accepted: " << part.toStdString();
        } catch (const rtl::Error& e) {
            EXPECT_TRUE(e.message().startsWith("Report layout Test: ")) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(part)) << e.message().toStdString();
        }
    };
    QByteArray json = testLayoutJson();
    refuses(QByteArray(json).replace("\"captionRef\": \"address\"", "\"captionRef\": \"nowhere\""),
            "unknown text 'nowhere'");
    refuses(QByteArray(json).replace("\"kind\": \"shape\"", "\"kind\": \"circle\""), "unknown kind 'circle'");
    refuses(QByteArray(json).replace("\"rbDetail\"", "\"rbFooter\""), "unknown band type 'rbFooter'");
    refuses(QByteArray(json).replace("\"name\": \"Qty\"", "\"name\": \"Code\""), "two items named Code");
    refuses(QByteArray(json).replace("\"picture\": \"logo\"", "\"picture\": \"/nonexistent/logo.jpg\""),
            "cannot load picture");
    refuses(
        QByteArray(json).replace("\"dataField\": \"Qty\",", "\"dataField\": \"Qty\", \"autoSize\": false,"),
        "needs a width");
    refuses(QByteArray(json).replace("\"rbSummary\"", "\"rbDetail\""), "two bands of the same type");
    refuses(QByteArray(json).left(40), "the definition");
}
