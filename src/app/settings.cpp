// The store of remembered choices (see settings.h).
#include "app/settings.h"

#include <QSettings>
#include <memory>

namespace bm::settings {

namespace {

std::unique_ptr<QSettings> Open() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     QStringLiteral("Bytemoor"), QStringLiteral("Bytemoor"));
}

bool IsHex(const QByteArray& text) {
  if (text.size() % 2 != 0) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
      return false;
  return true;
}

}  // namespace

QVariant Value(const char* key, const QVariant& fallback) {
  auto store = Open();
  if (store->status() != QSettings::NoError) return fallback;
  return store->value(QString::fromLatin1(key), fallback);
}

bool SetValue(const char* key, const QVariant& value) {
  auto store = Open();
  if (store->status() != QSettings::NoError) return false;
  store->setValue(QString::fromLatin1(key), value);
  store->sync();
  return store->status() == QSettings::NoError;
}

bool Flag(const char* key, bool fallback) {
  const QVariant v = Value(key);
  if (v.typeId() == QMetaType::Bool) return v.toBool();
  const QString text = v.toString();
  if (text == QLatin1String("true")) return true;
  if (text == QLatin1String("false")) return false;
  return fallback;
}

bool SetFlag(const char* key, bool value) { return SetValue(key, value); }

QList<QByteArray> ByteList(const char* key) {
  QList<QByteArray> list;
  const QVariant v = Value(key);
  const QStringList items = v.typeId() == QMetaType::QString ? QStringList{v.toString()}
                                                              : v.toStringList();
  for (const QString& item : items) {
    const QByteArray hex = item.toLatin1();
    if (!hex.isEmpty() && IsHex(hex)) list.append(QByteArray::fromHex(hex));
  }
  return list;
}

bool SetByteList(const char* key, const QList<QByteArray>& list) {
  QStringList items;
  for (const QByteArray& entry : list) items.append(QString::fromLatin1(entry.toHex()));
  return SetValue(key, items);
}

}  // namespace bm::settings
