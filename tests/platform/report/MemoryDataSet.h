#pragma once

#include "platform/data/DataSet.h"

#include <QVariant>
#include <algorithm>
#include <utility>
#include <vector>

// A dataset over rows held in memory, for tests that need no database.
class MemoryDataSet : public data::DataSet {
public:
    MemoryDataSet(const QString& name, const std::vector<std::pair<QString, data::FieldType>>& columns)
        : data::DataSet(name)
    {
        makeFields(columns);
    }

    std::vector<std::vector<QVariant>> rows;

    // Like a query: the fields are dropped on close and made again on open,
    // for these columns when set. Dropped fields are kept alive, so a stale
    // pointer reads the wrong column instead of freed memory.
    bool fieldsPerOpen = false;
    std::vector<std::pair<QString, data::FieldType>> columnsOnOpen;

    qint64 recordCount() override { return qint64(rows.size()); }

    std::vector<data::Row> fetchRows(const std::optional<data::Bookmark>& from, int count,
                                     bool forward) override
    {
        std::vector<data::Row> result;
        int i = from ? indexOf(*from) + (forward ? 1 : -1) : (forward ? 0 : int(rows.size()) - 1);
        for (; count > 0 && i >= 0 && i < int(rows.size()); --count, i += forward ? 1 : -1)
            result.push_back(row(i));
        return result;
    }

    qint64 positionOf(const data::Bookmark& bookmark) override
    {
        const int i = indexOf(bookmark);
        return i >= 0 && i < int(rows.size()) ? i : -1;
    }
    std::vector<data::Row> fetchRowsFrom(qint64 position, int count) override
    {
        std::vector<data::Row> result;
        for (qint64 i = std::max<qint64>(position, 0); count > 0 && i < qint64(rows.size()); --count, ++i)
            result.push_back(row(int(i)));
        return result;
    }

    // Tells the bound controls that the rows changed, as a reopened query does.
    void changedByOthers() { notifyDataSetChanged(); }

protected:
    void doOpen() override
    {
        if (fieldsPerOpen && fields().empty())
            makeFields(columnsOnOpen);
    }
    void doClose() override
    {
        if (!fieldsPerOpen)
            return;
        for (auto& field : mutableFields())
            dropped_.push_back(std::move(field));
        mutableFields().clear();
    }
    bool fetchAt(const data::Bookmark& bookmark, data::Row& out) override
    {
        return at(indexOf(bookmark), out);
    }

private:
    void makeFields(const std::vector<std::pair<QString, data::FieldType>>& columns)
    {
        int index = 0;
        for (const auto& [fieldName, type] : columns)
            mutableFields().push_back(
                std::make_unique<data::Field>(this, name() + fieldName, fieldName, type, 0, index++));
    }

    std::vector<std::unique_ptr<data::Field>> dropped_;
    static int indexOf(const data::Bookmark& bookmark) { return bookmark.key.at(0).toInt(); }
    data::Row row(int i) const { return data::Row{data::Bookmark{{QVariant(i)}}, rows[size_t(i)]}; }
    bool at(int i, data::Row& out) const
    {
        if (i < 0 || i >= int(rows.size()))
            return false;
        out = row(i);
        return true;
    }
};
