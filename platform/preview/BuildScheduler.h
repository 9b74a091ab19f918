#pragma once

#include "platform/report/Document.h"

#include <QObject>
#include <functional>
#include <memory>

class QTimer;

namespace data {
class DataSet;
}

namespace report {

class LayoutModel;
class PageBuilder;

// Builds a layout's pages for the preview: the first page at once, the rest
// a slice at a time whenever the event loop is idle once goOn() was called,
// so that building stays out of the user's way. Holds the pages once they
// are built.
class BuildScheduler : public QObject {
    Q_OBJECT
public:
    // Runs a slice; an error in it must not leave the event loop.
    using Guard = std::function<void(const std::function<void()>&)>;

    BuildScheduler(const LayoutModel& layout, data::DataSet* dataSet, Guard guard, QObject* parent = nullptr);
    ~BuildScheduler() override;

    // Builds the first page only.
    void start();
    // Goes on with the rest through the event loop.
    void goOn();
    bool building() const { return builder_ != nullptr; }
    // The pages built so far, or all of them.
    const Document& document() const;

    // Builds the remaining pages now.
    void finish();
    // Gives up on the remaining pages; the pages built so far stay.
    void stop();
    // Gives up building and holds these pages instead.
    void replace(Document document);

signals:
    // The page count changed or building ended.
    void progressed();

private:
    void buildMore();

    const LayoutModel& layout_;
    data::DataSet* dataSet_;
    Guard guard_;
    std::unique_ptr<PageBuilder> builder_;
    Document document_;
    QTimer* timer_ = nullptr;
};

} // namespace report
