#include "platform/report/Model.h"

#include "platform/report/Picture.h"
#include "platform/rtl/Errors.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <map>

namespace report {

Item* Band::addItem(std::unique_ptr<Item> item)
{
    item->band_ = this;
    items_.push_back(std::move(item));
    return items_.back().get();
}

Band* LayoutModel::addBand(std::unique_ptr<Band> band)
{
    bands_.push_back(std::move(band));
    return bands_.back().get();
}

Band* LayoutModel::band(BandType type) const
{
    for (const auto& b : bands_)
        if (b->type() == type)
            return b.get();
    return nullptr;
}

Band* LayoutModel::findBand(const QString& bandName) const
{
    for (const auto& b : bands_)
        if (b->name().compare(bandName, Qt::CaseInsensitive) == 0)
            return b.get();
    return nullptr;
}

Item* LayoutModel::findItem(const QString& itemName) const
{
    for (const auto& b : bands_)
        for (const auto& item : b->items())
            if (item->name().compare(itemName, Qt::CaseInsensitive) == 0)
                return item.get();
    return nullptr;
}

namespace {

// Settings a layout takes from its shared frame.
struct FrameSettings {
    std::map<QString, QString> texts;
    std::map<QString, QString> pictures;
};

class Parser {
public:
    explicit Parser(QString name) : name_(std::move(name)) {}

    [[noreturn]] void fail(const QString& what) const
    {
        throw rtl::Error(QStringLiteral("Report layout %1: %2").arg(name_, what));
    }

    QJsonObject parseObject(const QByteArray& text, const QString& what) const
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
        if (error.error != QJsonParseError::NoError)
            fail(
                QStringLiteral("%1 at offset %2 of %3").arg(error.errorString()).arg(error.offset).arg(what));
        if (!doc.isObject())
            fail(what + QStringLiteral(" is not an object"));
        return doc.object();
    }

    double number(const QJsonObject& o, const char* key, double fallback) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble())
            fail(QStringLiteral("'%1' must be a number").arg(QLatin1String(key)));
        return v.toDouble();
    }

    bool flag(const QJsonObject& o, const char* key, bool fallback) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(QStringLiteral("'%1' must be true or false").arg(QLatin1String(key)));
        return v.toBool();
    }

    QString string(const QJsonObject& o, const char* key, const QString& fallback = {}) const
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isString())
            fail(QStringLiteral("'%1' must be a text").arg(QLatin1String(key)));
        return v.toString();
    }

    FontSpec font(const QJsonObject& o, const FontSpec& base) const
    {
        const QJsonValue v = o.value(QLatin1String("font"));
        if (v.isUndefined())
            return base;
        if (!v.isObject())
            fail(QStringLiteral("'font' must be an object"));
        const QJsonObject f = v.toObject();
        FontSpec spec = base;
        spec.family = string(f, "family", base.family);
        spec.pointSize = number(f, "size", base.pointSize);
        spec.bold = flag(f, "bold", base.bold);
        spec.italic = flag(f, "italic", base.italic);
        return spec;
    }

    // Page, font and frame settings: the frame's first, the layout's over them.
    void pageSettings(const QJsonObject& o, LayoutModel& model, FrameSettings& frame) const
    {
        const QString orientation = string(o, "orientation");
        if (orientation == QLatin1String("portrait"))
            model.orientation = Orientation::Portrait;
        else if (orientation == QLatin1String("landscape"))
            model.orientation = Orientation::Landscape;
        else if (!orientation.isEmpty())
            fail(QStringLiteral("unknown orientation '%1'").arg(orientation));

        const QJsonObject page = o.value(QLatin1String("page")).toObject();
        model.paperWidth = number(page, "width", model.paperWidth);
        model.paperHeight = number(page, "height", model.paperHeight);
        // Margins are kept in tenths of a millimetre, as page settings are.
        if (page.contains(QLatin1String("margins"))) {
            const double m = number(page, "margins", 127) / 10.0;
            model.marginTop = model.marginBottom = model.marginLeft = model.marginRight = m;
        }
        model.marginTop = number(page, "topMargin", model.marginTop * 10) / 10.0;
        model.marginBottom = number(page, "bottomMargin", model.marginBottom * 10) / 10.0;
        model.marginLeft = number(page, "leftMargin", model.marginLeft * 10) / 10.0;
        model.marginRight = number(page, "rightMargin", model.marginRight * 10) / 10.0;

        model.font = font(o, model.font);
        model.printIfEmpty = flag(o, "printIfEmpty", model.printIfEmpty);
        model.rulePenWidth = number(o, "ruleWidth", model.rulePenWidth);

        const QJsonObject texts = o.value(QLatin1String("texts")).toObject();
        for (auto it = texts.begin(); it != texts.end(); ++it)
            frame.texts[it.key()] = it.value().toString();
        const QJsonObject pictures = o.value(QLatin1String("pictures")).toObject();
        for (auto it = pictures.begin(); it != pictures.end(); ++it)
            frame.pictures[it.key()] = it.value().toString();
    }

    void textSettings(const QJsonObject& o, TextItem& item, const LayoutModel& model) const
    {
        item.font = font(o, model.font);
        const QString alignment = string(o, "alignment", QStringLiteral("left"));
        if (alignment == QLatin1String("left"))
            item.alignment = Alignment::Left;
        else if (alignment == QLatin1String("right"))
            item.alignment = Alignment::Right;
        else
            fail(QStringLiteral("%1: unknown alignment '%2'").arg(item.name(), alignment));
        item.autoSize = flag(o, "autoSize", true);
        item.wordWrap = flag(o, "wordWrap", true);
        if (!item.autoSize && item.width <= 0)
            fail(QStringLiteral("%1: a text that does not size itself needs a width").arg(item.name()));
    }

    std::unique_ptr<Item> item(const QJsonObject& o, const LayoutModel& model,
                               const FrameSettings& frame) const
    {
        const QString itemName = string(o, "name");
        if (itemName.isEmpty())
            fail(QStringLiteral("an item has no name"));
        const QString kind = string(o, "kind");
        std::unique_ptr<Item> result;
        if (kind == QLatin1String("label")) {
            auto label = std::make_unique<Label>(itemName);
            const QString ref = string(o, "captionRef");
            if (!ref.isEmpty()) {
                const auto it = frame.texts.find(ref);
                if (it == frame.texts.end())
                    fail(QStringLiteral("%1: unknown text '%2'").arg(itemName, ref));
                label->setCaption(it->second);
            } else {
                label->setCaption(string(o, "caption", itemName));
            }
            result = std::move(label);
        } else if (kind == QLatin1String("dbText")) {
            auto text = std::make_unique<DBText>(itemName);
            text->dataField = string(o, "dataField");
            if (text->dataField.isEmpty())
                fail(QStringLiteral("%1: no dataField").arg(itemName));
            result = std::move(text);
        } else if (kind == QLatin1String("sysData")) {
            auto sys = std::make_unique<SysData>(itemName);
            const QString data = string(o, "data");
            if (data == QLatin1String("qrsDetailNo"))
                sys->data = SysDataKind::DetailNo;
            else if (data == QLatin1String("qrsDateTime"))
                sys->data = SysDataKind::DateTime;
            else
                fail(QStringLiteral("%1: unknown system data '%2'").arg(itemName, data));
            sys->text = string(o, "text");
            result = std::move(sys);
        } else if (kind == QLatin1String("shape")) {
            auto shape = std::make_unique<Shape>(itemName);
            const QString type = string(o, "shape", QStringLiteral("qrsHorLine"));
            if (type != QLatin1String("qrsHorLine"))
                fail(QStringLiteral("%1: unknown shape '%2'").arg(itemName, type));
            shape->penWidth = number(o, "penWidth", model.rulePenWidth);
            result = std::move(shape);
        } else if (kind == QLatin1String("image")) {
            auto image = std::make_unique<Image>(itemName);
            QString picture = string(o, "picture");
            const auto it = frame.pictures.find(picture);
            if (it != frame.pictures.end())
                picture = it->second;
            if (picture.isEmpty())
                fail(QStringLiteral("%1: no picture").arg(itemName));
            image->picture = loadPicture(picture);
            if (image->picture.isNull())
                fail(QStringLiteral("%1: cannot load picture %2").arg(itemName, picture));
            image->stretch = flag(o, "stretch", false);
            result = std::move(image);
        } else {
            fail(QStringLiteral("%1: unknown kind '%2'").arg(itemName, kind));
        }

        result->left = number(o, "left", 0);
        result->top = number(o, "top", 0);
        result->width = number(o, "width", 0);
        result->height = number(o, "height", 0);
        if (auto* text = dynamic_cast<TextItem*>(result.get()))
            textSettings(o, *text, model);
        else if (result->width <= 0 || result->height <= 0)
            fail(QStringLiteral("%1: needs a width and a height").arg(itemName));
        return result;
    }

    BandType bandType(const QString& type) const
    {
        if (type == QLatin1String("rbTitle"))
            return BandType::Title;
        if (type == QLatin1String("rbColumnHeader"))
            return BandType::ColumnHeader;
        if (type == QLatin1String("rbDetail"))
            return BandType::Detail;
        if (type == QLatin1String("rbSummary"))
            return BandType::Summary;
        fail(QStringLiteral("unknown band type '%1'").arg(type));
    }

    std::unique_ptr<LayoutModel> layout(const QByteArray& text, const QByteArray& frameText) const
    {
        auto model = std::make_unique<LayoutModel>();
        model->name = name_;
        FrameSettings frame;
        if (!frameText.isEmpty())
            pageSettings(parseObject(frameText, QStringLiteral("its frame")), *model, frame);
        const QJsonObject o = parseObject(text, QStringLiteral("the definition"));
        pageSettings(o, *model, frame);

        model->dataSetName = string(o, "dataSet");
        QSet<QString> names;
        const QJsonArray bands = o.value(QLatin1String("bands")).toArray();
        for (const QJsonValue& value : bands) {
            const QJsonObject b = value.toObject();
            auto band = std::make_unique<Band>(string(b, "name"), bandType(string(b, "type")));
            if (band->type() != BandType::Title && model->band(band->type()))
                fail(QStringLiteral("two bands of the same type"));
            band->height = number(b, "height", 0);
            if (band->height <= 0)
                fail(QStringLiteral("band %1 has no height").arg(band->name()));
            const QJsonObject f = b.value(QLatin1String("frame")).toObject();
            band->frame.top = flag(f, "top", false);
            band->frame.bottom = flag(f, "bottom", false);
            band->frame.left = flag(f, "left", false);
            band->frame.right = flag(f, "right", false);
            band->alignToBottom = flag(b, "alignToBottom", false);
            for (const QJsonValue& itemValue : b.value(QLatin1String("items")).toArray()) {
                auto it = item(itemValue.toObject(), *model, frame);
                if (names.contains(it->name().toLower()))
                    fail(QStringLiteral("two items named %1").arg(it->name()));
                names.insert(it->name().toLower());
                band->addItem(std::move(it));
            }
            model->addBand(std::move(band));
        }
        if (model->pageHeight() - model->marginTop - model->marginBottom <= 0 || model->bandWidth() <= 0)
            fail(QStringLiteral("the margins leave no room"));
        return model;
    }

private:
    QString name_;
};

QByteArray readResource(const QString& path, const Parser& parser)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        parser.fail(QStringLiteral("cannot read %1").arg(path));
    return file.readAll();
}

} // namespace

std::unique_ptr<LayoutModel> parseLayout(const QString& name, const QByteArray& text,
                                         const QByteArray& frameText)
{
    return Parser(name).layout(text, frameText);
}

std::unique_ptr<LayoutModel> loadLayout(const QString& name)
{
    const Parser parser(name);
    const QByteArray text = readResource(QStringLiteral(":/reports/%1.json").arg(name), parser);
    QJsonParseError error;
    const QString frameName =
        QJsonDocument::fromJson(text, &error).object().value(QLatin1String("frame")).toString();
    QByteArray frameText;
    if (!frameName.isEmpty())
        frameText = readResource(QStringLiteral(":/reports/%1.json").arg(frameName), parser);
    return parseLayout(name, text, frameText);
}

} // namespace report
