#pragma once
// Reading attributes of a panel description. Descriptions are edited by users, so every
// reader tolerates missing and malformed values: a missing attribute or a value that is not a
// number leaves the caller's field unchanged.
#include <QDomElement>
#include <QString>

namespace skin_xml {

/// Decimal integer; the low 32 bits of the value are kept. False (field unchanged) when the
/// attribute is missing or not a number.
bool ReadInt(const QDomElement& element, const QString& name, int& value);
/// Real number (the animation out-scale).
bool ReadDouble(const QDomElement& element, const QString& name, double& value);
/// "a b": read only when the text contains a blank and both halves are numbers.
bool ReadPair(const QDomElement& element, const QString& name, int& first, int& second);
/// Text of the attribute; empty when missing.
QString ReadText(const QDomElement& element, const QString& name);
/// Up to `count` whitespace-separated integers; returns how many were read (0 on any error).
int ReadInts(const QDomElement& element, const QString& name, int* values, int count);
/// The first child element named `name` (exact match), or a null element.
QDomElement FirstChild(const QDomElement& element, const QString& name);
/// `fileName` joined to the description's `folder`; empty when longer than 260 characters.
QString JoinPath(const QString& folder, const QString& fileName);

} // namespace skin_xml
