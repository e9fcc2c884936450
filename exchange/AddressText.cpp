#include "AddressText.h"

QStringList WithoutRepeatedPlaces(const QStringList& largestFirst)
{
    QStringList kept;
    for (const QString& part : largestFirst) {
        const QString place = part.trimmed();
        if (place.isEmpty())
            continue;
        if (!kept.isEmpty() && place.startsWith(kept.last()))
            kept.last() = place;  // the smaller place names the larger one again
        else
            kept << place;
    }
    return kept;
}
