#pragma once

#include <QString>

#include <functional>

// The caption of the image path label: the whole path when it fits maxWidth, otherwise
// the path with leading folders behind its first separator replaced by "...", one folder
// at a time, until it fits or only the file name is left ("/.../May/print.tif",
// "C:\...\print.tif"). widthOf measures a caption as the label would show it. The
// separator is "/" when the path holds one, otherwise "\".
QString ShortenPathCaption(const QString &path, int maxWidth,
                           const std::function<int(const QString &)> &widthOf);
