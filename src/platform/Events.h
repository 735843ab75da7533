#pragma once

#include <QEvent>

// Private messages of the main window. Their numbers are shared with other instances of
// the program, so they must not change.
inline constexpr QEvent::Type WM_CHECKMAIL = QEvent::Type(0x878A);
inline constexpr QEvent::Type DeferredStartupEvent = QEvent::Type(0x878B);
