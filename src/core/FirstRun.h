#pragma once

#include "base/Locale.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The first-run agreement: when it is due, what it says and how an
// acceptance is recorded in "AcceptedLicense".
namespace FirstRun {

// The text an acceptance stores: the short date, a blank and the long time,
// the time left out when it is exactly midnight.
QString acceptanceText(const QDateTime& when, const RegionalSettings& region);

// What the agreement needs to say beyond the program's own facts.
struct AgreementFacts
{
    // Where captures go by default: the three slot files, with full paths.
    QStringList slotFiles;
    // The terms: the project's licence.
    QString licenseText;
};

// The agreement: name and version, credit line, contacts, that this is the
// first run and running needs the terms, what the program does by default
// and how to stop it, the licence, the disclaimer and the acknowledgment.
QString agreementText(const AgreementFacts& facts);

} // namespace FirstRun
