#include "ui/bar/SlotAccessibility.h"

#include "slots/AppState.h"
#include "slots/Captions.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>

namespace {

// Labels, and the texts read out in their place, may be megabytes long.
constexpr int LongestSpoken = 80;
const char *const NameProperty = "velmoraAccessibleName";

QString spoken(const QString &text)
{
    QString shown = leftCodePoints(text, LongestSpoken);
    const bool cut = shown.size() < text.size();
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control) {
            c = QLatin1Char(' ');
        }
    }
    return cut ? shown + QStringLiteral("...") : shown;
}

// A Copy Text entry as assistive tools see it: a menu item like the ones Qt
// makes, named by its own name instead of its caption.
class EntryAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    explicit EntryAccessible(QAction *entry) : m_entry(entry) {}

    bool isValid() const override { return m_entry && menu() != nullptr; }
    QObject *object() const override { return m_entry; }
    QWindow *window() const override { return menu() != nullptr ? menu()->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(menu()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name) {
            return m_entry->property(NameProperty).toString();
        }
        if (kind == QAccessible::Accelerator) {
            // The caption's access key: the character after a single "&".
            const QString caption = m_entry->text();
            for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
                if (caption.at(i) == QLatin1Char('&')) {
                    if (caption.at(i + 1) != QLatin1Char('&')) {
                        return QKeySequence(Qt::ALT).toString(QKeySequence::NativeText) + caption.at(i + 1);
                    }
                    ++i;
                }
            }
        }
        return {};
    }

    QRect rect() const override
    {
        const QMenu *owner = menu();
        return owner != nullptr ? owner->actionGeometry(m_entry).translated(owner->mapToGlobal(QPoint(0, 0))) : QRect();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        const QMenu *owner = menu();
        state.invisible = owner == nullptr || !owner->isVisible() || !m_entry->isVisible();
        state.focused = owner != nullptr && owner->activeAction() == m_entry;
        state.disabled = !m_entry->isEnabled();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && m_entry->isEnabled()) {
            m_entry->trigger();
        }
    }

private:
    QMenu *menu() const
    {
        if (m_entry) {
            for (QObject *owner : m_entry->associatedObjects()) {
                if (auto *found = qobject_cast<QMenu *>(owner)) {
                    return found;
                }
            }
        }
        return nullptr;
    }

    QPointer<QAction> m_entry;
};

QAccessibleInterface *entryFactory(const QString &, QObject *object)
{
    auto *entry = qobject_cast<QAction *>(object);
    return entry != nullptr && entry->property(NameProperty).isValid() ? new EntryAccessible(entry) : nullptr;
}

} // namespace

QString slotAccessibleName(const AppState &state, int k)
{
    const ClipSlot &slot = state.slot(k);
    if (!slot.label.isEmpty()) {
        return QStringLiteral("Slot %1: %2").arg(QString::number(k), spoken(slot.label));
    }
    if (!slot.text.isEmpty()) {
        return QStringLiteral("Slot %1, no label: %2")
            .arg(QString::number(k), spoken(leftCodePoints(slot.text, LongestSpoken + 1)));
    }
    return QStringLiteral("Slot %1: empty").arg(k);
}

QString captureAccessibleName(int k)
{
    return QStringLiteral("Capture into slot %1").arg(k);
}

void setEntryAccessibleName(QAction *entry, const QString &name)
{
    static const bool installed = (QAccessible::installFactory(entryFactory), true);
    Q_UNUSED(installed)
    if (entry->property(NameProperty).toString() == name) {
        return;
    }
    entry->setProperty(NameProperty, name);
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(entry, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}
