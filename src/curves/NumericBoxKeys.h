#pragma once

#include "NumberField.h"

#include <QObject>

#include <functional>

class QKeyEvent;
class QLineEdit;

// Runs a numeric box's check: a correction of a non-empty box follows two beeps 250 ms
// apart. True when the text was corrected.
bool checkNumericBox(QLineEdit *box, const NumberRange &range, const QLocale &locale = QLocale());

// The keys and the leaving of the numeric boxes of a curve creation window. Leaving a box
// for another control of the window, or pressing Enter in it, runs the box's check (Enter
// is swallowed). While clipboardKeysActive() answers true, Ctrl+C, Ctrl+V and Ctrl+X run the
// window's copy, paste and cut instead of the box's own. A window losing the focus (a
// message box, another window) is not leaving a box.
class NumericBoxKeys : public QObject
{
    Q_OBJECT

public:
    struct Actions
    {
        std::function<void(QLineEdit *)> check;
        std::function<bool()> clipboardKeysActive;
        std::function<void()> copy;
        std::function<void()> paste;
        std::function<void()> cut;
    };

    NumericBoxKeys(Actions actions, QObject *parent);

    void watch(QLineEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool clipboardKey(QKeyEvent *key);

    Actions m_actions;
};
