#pragma once

// Printing models of the ink description tests, named after their ink sets.
#include "InkDescription.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace inktest {

inline const QStringList &models()
{
    static const QStringList list{QStringLiteral("Four CMYK"), QStringLiteral("Six PHOTOCMYK"),
                                  QStringLiteral("Seven PHOTOCMYK7"),
                                  QStringLiteral("Eight PHOTOCMYK8"),
                                  QStringLiteral("Listed K,C,M,Y,LC,LM,LK,LLK")};
    return list;
}

// The ink set named by the model's last word, through the PPD line reader.
inline QStringList inkSetOf(const QString &model)
{
    const QString set = model.section(u' ', -1);
    return inkSetFromPpd(QByteArray("*%INKS ") + set.toLatin1() + "\r\n", model);
}

// A new description for model, as the editor starts it.
inline InkDescription fresh(const QString &model)
{
    return newInkDescription(model, inkSetOf(model), QStringLiteral("85"));
}

inline QByteArray crlf(const QByteArray &lines)
{
    QByteArray text = lines;
    text.replace("\n", "\r\n");
    return text;
}

} // namespace inktest
