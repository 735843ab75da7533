#pragma once

#include "OptionBox.h"

class QComboBox;
class QLabel;

// Lets the model reader fill and select a combo box of the window. Selections made here
// never run the box's handlers: those are connected to the user's activation only.
class ComboOptionBox : public OptionBox
{
public:
    explicit ComboOptionBox(QComboBox *box, QLabel *label = nullptr) : m_box(box), m_label(label) {}

    void clear() override;
    void addItem(const QString &text) override;
    int count() const override;
    QString itemText(int index) const override;
    int currentIndex() const override;
    void setCurrentIndex(int index) override;
    QString currentText() const override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;

private:
    QComboBox *m_box;
    QLabel *m_label;
};

// Inserts text where it keeps the items of a sorted list in order (ignoring letter case
// first, as the system's sorted lists do), and returns its position.
int insertSorted(QComboBox *box, const QString &text);

// Inserts text at position without letting the box select it on its own.
void insertKeepingSelection(QComboBox *box, int position, const QString &text);

// SelectByText on a combo box of the window.
void selectByText(QComboBox *box, const QString &text);
// Selects the model's default item of a list, then text where the list offers it.
void selectDefaultThenText(QComboBox *box, int defaultIndex, const QString &text);
