#include "platform/ui/DBText.h"

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"

namespace ui {

DBText::DBText(QWidget* parent) : QLabel(parent), link_([this](bool) { refresh(); })
{
    setTextFormat(Qt::PlainText);
}

DBText::~DBText() = default;

void DBText::setDataSource(data::DataSource* source)
{
    if (link_.setDataSource(source))
        refresh();
}

void DBText::setDataField(const QString& fieldName)
{
    fieldName_ = fieldName;
    refresh();
}

data::Field* DBText::field() const
{
    data::DataSet* ds = link_.dataSet();
    if (!ds || !ds->active() || fieldName_.isEmpty())
        return nullptr;
    return ds->findField(fieldName_);
}

// Reading the current row's buffer is cheap and cannot fail, so this runs at
// once, even in the middle of the dataset's own operation.
void DBText::refresh()
{
    data::Field* f = field();
    setText(f ? f->displayText() : QString());
}

} // namespace ui
