#include "platform/ui/GridModel.h"

#include "platform/data/Field.h"
#include "platform/rtl/Format.h"
#include "platform/ui/GridRows.h"

namespace ui {

GridModel::GridModel(GridRows* rows, QObject* parent) : QAbstractTableModel(parent), rows_(rows)
{
    // A query makes new fields whenever it opens: pointers to the old ones
    // are dropped as soon as the dataset says so, and found again when the
    // rows are read.
    connect(rows_, &GridRows::invalidated, this, [this](bool fields) {
        if (fields)
            for (auto& c : columns_)
                c.field = nullptr;
    });
    connect(rows_, &GridRows::aboutToChange, this, [this] { beginResetModel(); });
    connect(rows_, &GridRows::changed, this, [this](bool fields) {
        if (fields)
            resolve();
        endResetModel();
    });
}

void GridModel::setColumns(std::vector<DBGridColumn> columns)
{
    beginResetModel();
    own_ = std::move(columns);
    resolve();
    endResetModel();
}

void GridModel::resolve()
{
    data::DataSet* ds = rows_->dataSet();
    std::vector<Shown> shown;
    auto add = [&](const QString& fieldName, const DBGridColumn* own) {
        Shown c;
        c.fieldName = fieldName;
        c.field = ds ? ds->findField(fieldName) : nullptr;
        c.title = own && !own->title.isEmpty() ? own->title : fieldName;
        if (own) {
            c.width = own->width;
            c.titleFont = own->titleFont;
            c.color = own->color;
        }
        shown.push_back(std::move(c));
    };
    if (!own_.empty()) {
        for (const auto& own : own_)
            add(own.fieldName, &own);
    } else if (ds) {
        for (const auto& f : ds->fields())
            add(f->fieldName(), nullptr);
    }
    columns_ = std::move(shown);
}

const GridModel::Shown* GridModel::column(int column) const
{
    return column >= 0 && column < int(columns_.size()) ? &columns_[size_t(column)] : nullptr;
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_->shownCount();
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

static bool isNumber(const data::Field* field)
{
    return field &&
           (field->dataType() == data::FieldType::Float || field->dataType() == data::FieldType::Integer ||
            field->dataType() == data::FieldType::AutoInc);
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    const Shown* c = column(index.column());
    if (!c)
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const std::vector<QVariant>* values = rows_->shownValues(index.row());
        if (!values || !c->field || c->field->index() < 0 || c->field->index() >= int(values->size()))
            return QString();
        return c->field->displayTextOf((*values)[size_t(c->field->index())]);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue((isNumber(c->field) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return c->color.isValid() ? QVariant(c->color) : QVariant();
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const Shown* c = orientation == Qt::Horizontal ? column(section) : nullptr;
    if (!c)
        return {};
    if (role == Qt::DisplayRole)
        return c->title;
    if (role == Qt::FontRole && c->titleFont)
        return *c->titleFont;
    return {};
}

QString GridModel::fieldName(int column) const
{
    const Shown* c = this->column(column);
    return c ? c->fieldName : QString();
}

data::Field* GridModel::field(int column) const
{
    const Shown* c = this->column(column);
    return c ? c->field : nullptr;
}

int GridModel::width(int column) const
{
    const Shown* c = this->column(column);
    return c ? c->width : -1;
}

int GridModel::displayChars(int column) const
{
    return displayChars(field(column));
}

// Display widths in characters, of which a column's default width is made:
// - text: its width (a field without one, such as a computed column, 15);
// - floating-point: 10, room for the quantities this program keeps (whole
//   numbers up to ten digits); the general format can show up to 15
//   significant digits, and such a number is cut rather than widen every
//   quantity column beyond the windows drawn for it;
// - integers: 11, the widest 32-bit value with its sign ("-2147483648");
// - dates: the length of the short-date text ("dd/mm/yyyy" is 10).
int GridModel::displayChars(const data::Field* field)
{
    if (!field)
        return 15;
    switch (field->dataType()) {
    case data::FieldType::String:
        return field->size() > 0 ? field->size() : 15;
    case data::FieldType::Float:
        return 10;
    case data::FieldType::Integer:
    case data::FieldType::AutoInc:
        return 11;
    case data::FieldType::Date:
        return int(rtl::dateToStr(QDate(2000, 12, 31)).size());
    }
    return 15;
}

} // namespace ui
