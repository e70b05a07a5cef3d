#include "skin/xml_attributes.h"

#include "image/skin_image.h"

#include <QStringList>

namespace skin_xml {
namespace {

bool ParseInt(const QString& text, int& value) {
  bool ok = false;
  const qlonglong number = text.trimmed().toLongLong(&ok, 10);
  if (!ok) return false;
  value = static_cast<int>(static_cast<quint32>(number & 0xFFFFFFFF));
  return true;
}

} // namespace

bool ReadInt(const QDomElement& element, const QString& name, int& value) {
  if (element.isNull() || !element.hasAttribute(name)) return false;
  return ParseInt(element.attribute(name), value);
}

bool ReadDouble(const QDomElement& element, const QString& name, double& value) {
  if (element.isNull() || !element.hasAttribute(name)) return false;
  bool ok = false;
  const double number = element.attribute(name).trimmed().toDouble(&ok);
  if (!ok || !qIsFinite(number)) return false;
  value = number;
  return true;
}

bool ReadPair(const QDomElement& element, const QString& name, int& first, int& second) {
  const QString text = ReadText(element, name);
  if (!text.contains(QLatin1Char(' '))) return false;
  int values[2];
  if (ReadInts(element, name, values, 2) != 2) return false;
  first = values[0];
  second = values[1];
  return true;
}

QString ReadText(const QDomElement& element, const QString& name) {
  return element.isNull() ? QString() : element.attribute(name);
}

int ReadInts(const QDomElement& element, const QString& name, int* values, int count) {
  const QStringList parts = ReadText(element, name).split(QLatin1Char(' '), Qt::SkipEmptyParts);
  if (parts.size() < count) return 0;
  for (int i = 0; i < count; ++i)
    if (!ParseInt(parts[i], values[i])) return 0;
  return count;
}

QDomElement FirstChild(const QDomElement& element, const QString& name) {
  return element.isNull() ? QDomElement() : element.firstChildElement(name);
}

QString JoinPath(const QString& folder, const QString& fileName) {
  return FCSkinImage::JoinSkinPath(folder, fileName);
}

} // namespace skin_xml
