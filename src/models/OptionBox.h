#pragma once

#include <QString>

// One option list of the main window as the model reader sees it: a list of visible
// texts with a selection. The window adapts its combo boxes to this; tests use plain lists.
class OptionBox
{
public:
    virtual ~OptionBox() = default;

    virtual void clear() = 0;
    virtual void addItem(const QString &text) = 0;
    virtual int count() const = 0;
    virtual QString itemText(int index) const = 0;
    virtual int currentIndex() const = 0;
    // -1 or an index out of range selects nothing. Never runs the box's change handlers.
    virtual void setCurrentIndex(int index) = 0;
    // The text the box shows (for an editable box, what is typed in it).
    virtual QString currentText() const = 0;
    // Enables or disables the box together with any label that belongs to it.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
};

// Selects the last item whose text equals text exactly (letter case significant); leaves
// the selection as it was when none does.
void SelectByText(OptionBox &box, const QString &text);
