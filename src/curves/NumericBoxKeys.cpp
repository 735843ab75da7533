#include "NumericBoxKeys.h"

#include "Beeper.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

bool checkNumericBox(QLineEdit *box, const NumberRange &range, const QLocale &locale)
{
    const CheckedField checked = checkedFieldText(box->text(), range, locale);
    if (!checked.corrected)
        return false;
    ErrorBeep();
    box->setText(checked.text);
    return true;
}

NumericBoxKeys::NumericBoxKeys(Actions actions, QObject *parent)
    : QObject(parent), m_actions(std::move(actions))
{
}

void NumericBoxKeys::watch(QLineEdit *box)
{
    box->installEventFilter(this);
}

bool NumericBoxKeys::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return false;
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            m_actions.check(box);
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the clipboard keys before the box's own copy and paste get them.
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_actions.clipboardKeysActive && m_actions.clipboardKeysActive() &&
            (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) ||
             key->matches(QKeySequence::Cut))) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        m_actions.check(box);
        return true;
    }
    return clipboardKey(key);
}

bool NumericBoxKeys::clipboardKey(QKeyEvent *key)
{
    if (!m_actions.clipboardKeysActive || !m_actions.clipboardKeysActive())
        return false;
    if (key->matches(QKeySequence::Copy)) {
        m_actions.copy();
        return true;
    }
    if (key->matches(QKeySequence::Paste)) {
        m_actions.paste();
        return true;
    }
    if (key->matches(QKeySequence::Cut)) {
        m_actions.cut();
        return true;
    }
    return false;
}
