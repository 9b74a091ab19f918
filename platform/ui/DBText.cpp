#include "platform/ui/DBText.h"

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"

namespace ui {

class DBText::Link : public data::DataLink {
public:
    explicit Link(DBText* text) : text_(text) {}
    void dataSetChanged() override { text_->refresh(); }
    void recordChanged() override { text_->refresh(); }

private:
    DBText* text_;
};

DBText::DBText(QWidget* parent) : QLabel(parent), link_(new Link(this))
{
    setTextFormat(Qt::PlainText);
}

DBText::~DBText()
{
    if (source_)
        source_->removeLink(link_);
    delete link_;
}

void DBText::setDataSource(data::DataSource* source)
{
    if (source == source_)
        return;
    if (source_)
        source_->removeLink(link_);
    source_ = source;
    if (source_)
        source_->addLink(link_);
    refresh();
}

void DBText::setDataField(const QString& fieldName)
{
    fieldName_ = fieldName;
    refresh();
}

data::Field* DBText::field() const
{
    data::DataSet* ds = source_ ? source_->dataSet() : nullptr;
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
