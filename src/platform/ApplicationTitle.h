#pragma once

#include <QString>

// The application title: caption of the standard error box and the taskbar text.
inline QString applicationTitle()
{
    return QStringLiteral("Zorlane Front End");
}
