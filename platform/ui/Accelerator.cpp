#include "platform/ui/Accelerator.h"

#include "platform/ui/Form.h"

#include <QAbstractButton>
#include <QShortcutEvent>
#include <QVariant>

namespace ui {

namespace {

const char* const rankProperty = "_ui_acceleratorRank";

// A shortcut event reaches a button through its '&' letter: the form decides
// which button takes it, so two buttons with one letter behave as the
// window's own accelerator rule says.
class ShortcutToForm : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Shortcut)
            return false;
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        auto* form = qobject_cast<Form*>(static_cast<QWidget*>(watched)->window());
        if (form && !shortcut->key().isEmpty()) {
            const int key = shortcut->key()[0].key();
            if (key >= Qt::Key_0 && key <= Qt::Key_Z)
                form->dispatchAccelerator(QChar(key));
        }
        return true;
    }
};

} // namespace

// Push and speed buttons take their letter through the form, ranked by the
// order they were made.
void joinAcceleratorRule(QAbstractButton* button)
{
    static quint64 made = 0;
    static ShortcutToForm toForm;
    button->setProperty(rankProperty, ++made);
    button->installEventFilter(&toForm);
}

quint64 acceleratorRank(const QAbstractButton* button)
{
    return button->property(rankProperty).toULongLong();
}

} // namespace ui
