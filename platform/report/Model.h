#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <vector>

// The layout model: page settings, bands and printable items of one report
// layout, read from its definition when the layout object is created.
// Geometry is in millimetres; item positions are relative to the top-left
// corner of their band.
namespace report {

enum class BandType { Title, ColumnHeader, Detail, Summary };
enum class Orientation { Portrait, Landscape };
enum class Alignment { Left, Right };
enum class SysDataKind { DetailNo, DateTime };

struct FontSpec {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec&) const = default;
};

// Thin rules along the band's edges.
struct Frame {
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
};

class Band;

class Item {
public:
    enum class Kind { Label, DBText, SysData, Shape, Image };

    Item(Kind kind, QString name) : kind_(kind), name_(std::move(name)) {}
    virtual ~Item() = default;
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    Kind kind() const { return kind_; }
    const QString& name() const { return name_; }
    Band* band() const { return band_; }

    double left = 0;
    double top = 0;
    double width = 0; // the box; an auto-sized text takes its text's width
    double height = 0;

private:
    friend class Band;
    Kind kind_;
    QString name_;
    Band* band_ = nullptr;
};

// Common to the items that print text.
class TextItem : public Item {
public:
    using Item::Item;
    FontSpec font;
    Alignment alignment = Alignment::Left;
    bool autoSize = true;
    bool wordWrap = true;
};

class Label : public TextItem {
public:
    explicit Label(QString name) : TextItem(Kind::Label, std::move(name)) {}
    const QString& caption() const { return caption_; }
    // Takes effect at the next page build.
    void setCaption(const QString& caption) { caption_ = caption; }

private:
    QString caption_;
};

// The display text of a field of the layout's dataset.
class DBText : public TextItem {
public:
    explicit DBText(QString name) : TextItem(Kind::DBText, std::move(name)) {}
    QString dataField;
};

class SysData : public TextItem {
public:
    explicit SysData(QString name) : TextItem(Kind::SysData, std::move(name)) {}
    SysDataKind data = SysDataKind::DetailNo;
    QString text; // printed right before the value
};

// A horizontal line through the middle of its box.
class Shape : public Item {
public:
    explicit Shape(QString name) : Item(Kind::Shape, std::move(name)) {}
    double penWidth = 0.25;
};

class Image : public Item {
public:
    explicit Image(QString name) : Item(Kind::Image, std::move(name)) {}
    QImage picture;
    // Natural size (pixels at 96 per inch) from the box's top-left corner,
    // clipped to the box; stretched: scaled to fill the box.
    bool stretch = false;
};

class Band {
public:
    Band(QString name, BandType type) : name_(std::move(name)), type_(type) {}
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    const QString& name() const { return name_; }
    BandType type() const { return type_; }

    double height = 0;
    Frame frame;
    bool alignToBottom = false;

    Item* addItem(std::unique_ptr<Item> item);
    const std::vector<std::unique_ptr<Item>>& items() const { return items_; }

private:
    QString name_;
    BandType type_;
    std::vector<std::unique_ptr<Item>> items_;
};

class LayoutModel {
public:
    QString name;
    QString dataSetName;
    Orientation orientation = Orientation::Portrait;
    double paperWidth = 210; // as the paper lies in portrait
    double paperHeight = 297;
    double marginTop = 12.7;
    double marginBottom = 12.7;
    double marginLeft = 12.7;
    double marginRight = 12.7;
    FontSpec font;
    bool printIfEmpty = true;
    double rulePenWidth = 0.25;

    double pageWidth() const { return orientation == Orientation::Portrait ? paperWidth : paperHeight; }
    double pageHeight() const { return orientation == Orientation::Portrait ? paperHeight : paperWidth; }
    double bandWidth() const { return pageWidth() - marginLeft - marginRight; }

    Band* addBand(std::unique_ptr<Band> band);
    const std::vector<std::unique_ptr<Band>>& bands() const { return bands_; }
    // The first band of a type, or nullptr.
    Band* band(BandType type) const;
    Band* findBand(const QString& bandName) const;
    Item* findItem(const QString& itemName) const;

private:
    std::vector<std::unique_ptr<Band>> bands_;
};

// Reads ":/reports/<name>.json". A definition may name a shared frame
// ("frame": "Frame") whose page settings, base font, texts and pictures it
// starts from. Raises rtl::Error for a definition that cannot be used.
std::unique_ptr<LayoutModel> loadLayout(const QString& name);
// The same from a definition's text; `frameText` is the frame's text, if any.
std::unique_ptr<LayoutModel> parseLayout(const QString& name, const QByteArray& text,
                                         const QByteArray& frameText = {});

} // namespace report
