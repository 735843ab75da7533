#pragma once

#include "OptionBox.h"

#include <QStringList>

// An option box held as plain data, for the model reader's tests and for code that
// works without a window.
class PlainOptionBox : public OptionBox
{
public:
    void clear() override
    {
        m_items.clear();
        m_index = -1;
    }
    void addItem(const QString &text) override { m_items.append(text); }
    int count() const override { return int(m_items.size()); }
    QString itemText(int index) const override { return m_items.value(index); }
    int currentIndex() const override { return m_index; }
    void setCurrentIndex(int index) override
    {
        m_index = (index >= 0 && index < m_items.size()) ? index : -1;
    }
    QString currentText() const override { return m_items.value(m_index); }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool isEnabled() const override { return m_enabled; }

    const QStringList &items() const { return m_items; }

private:
    QStringList m_items;
    int m_index = -1;
    bool m_enabled = true;
};
