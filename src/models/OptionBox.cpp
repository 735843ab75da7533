#include "OptionBox.h"

void SelectByText(OptionBox &box, const QString &text)
{
    for (int i = 0; i < box.count(); ++i) {
        if (box.itemText(i) == text)
            box.setCurrentIndex(i);
    }
}
