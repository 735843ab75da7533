#include "ComboOptionBox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

void ComboOptionBox::clear()
{
    m_box->clear();
    if (m_box->isEditable())
        m_box->clearEditText();
}

void ComboOptionBox::addItem(const QString &text)
{
    insertKeepingSelection(m_box, m_box->count(), text);
}

int ComboOptionBox::count() const
{
    return m_box->count();
}

QString ComboOptionBox::itemText(int index) const
{
    return m_box->itemText(index);
}

int ComboOptionBox::currentIndex() const
{
    return m_box->currentIndex();
}

void ComboOptionBox::setCurrentIndex(int index)
{
    m_box->setCurrentIndex(index >= 0 && index < m_box->count() ? index : -1);
}

QString ComboOptionBox::currentText() const
{
    return m_box->currentText();
}

void ComboOptionBox::setEnabled(bool enabled)
{
    m_box->setEnabled(enabled);
    if (m_label)
        m_label->setEnabled(enabled);
}

bool ComboOptionBox::isEnabled() const
{
    return m_box->isEnabled();
}

int insertSorted(QComboBox *box, const QString &text)
{
    int position = 0;
    while (position < box->count()) {
        const QString item = box->itemText(position);
        int order = item.compare(text, Qt::CaseInsensitive);
        if (order == 0)
            order = item.compare(text, Qt::CaseSensitive);
        if (order > 0)
            break;
        ++position;
    }
    insertKeepingSelection(box, position, text);
    return position;
}

void insertKeepingSelection(QComboBox *box, int position, const QString &text)
{
    const bool noneSelected = box->currentIndex() < 0;
    box->insertItem(position, text);
    // A combo box selects its first item by itself; the program decides what is selected.
    if (noneSelected)
        box->setCurrentIndex(-1);
}

void selectByText(QComboBox *box, const QString &text)
{
    ComboOptionBox options(box);
    SelectByText(options, text);
}

void selectDefaultThenText(QComboBox *box, int defaultIndex, const QString &text)
{
    ComboOptionBox options(box);
    options.setCurrentIndex(defaultIndex);
    SelectByText(options, text);
}
