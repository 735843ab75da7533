#pragma once

#include <QString>

// The printing model a printer queue's name points at: "Zorl" + the model code in the
// name, where the code is digits or "R" + digits. "EPSON Stylus Photo R2400" gives
// "ZorlR2400"; a name without digits gives just "Zorl".
QString modelNameFromQueue(const QString &queueName);
