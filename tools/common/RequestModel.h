#pragma once

#include "PpdModel.h"

#include <QString>

#include <optional>

class Diagnostics;
class ParameterText;

// The printing model a request names with PPD= and PRINTER=, its file found in the "ppd"
// folder of the install folder (the current folder).
struct RequestModel
{
    QString name;    // PRINTER=, the model name; the curve folder is named after it
    QString ppdPath; // the file PPD= found
    PpdModel ppd;
};

std::optional<RequestModel> loadRequestModel(const ParameterText &parameters,
                                             Diagnostics &diagnostics);

// Checks that value is an option of the model's group (main keyword without asterisk).
// A group the model lacks only gives a warning: the front end keeps a previous model's
// choices for such boxes and sends them all the same.
void checkOption(const RequestModel &model, const QString &key, const QString &value,
                 const QString &group, Diagnostics &diagnostics);

// The paper of Pagesize=: a size keyword of the model or "Custom.<w>x<l><in|cm>" for a
// model that takes custom sizes. Inches, portrait; margins are the unprintable borders.
struct PageChoice
{
    QString keyword;
    bool custom = false;
    double width = 0;
    double length = 0;
    double marginLeft = 0, marginBottom = 0, marginRight = 0, marginTop = 0;
};

std::optional<PageChoice> resolvePageSize(const RequestModel &model, const QString &value,
                                          Diagnostics &diagnostics);
