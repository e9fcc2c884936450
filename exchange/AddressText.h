#pragma once
// An address put together from its parts, as the vCard and spreadsheet imports
// both do. Chinese writers often repeat the larger place in the smaller one
// (province 北京, city 北京, street 北京市朝阳区…): the address says it once.

#include <QStringList>

// The places from the largest down, blank ones and each that the next one
// already starts with left out ("北京", "北京市朝阳区" gives "北京市朝阳区").
QStringList WithoutRepeatedPlaces(const QStringList& largestFirst);
