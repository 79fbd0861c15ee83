#include "platform/qt/QtDateFormat.h"

#include <QDate>
#include <QLocale>

namespace kelmo {

std::string QtDateFormat::Date(const LocalTime& local) const {
  const QLocale locale;
  QString format = locale.dateFormat(QLocale::ShortFormat);
  // A two-digit year reads as a day or a month in many locales.
  if (!format.contains("yyyy")) format.replace("yy", "yyyy");
  return locale.toString(QDate(local.year, local.month, local.day), format).toStdString();
}

}  // namespace kelmo
