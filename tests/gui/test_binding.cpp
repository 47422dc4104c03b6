// The conversions at the border between the model and the widgets: file
// dialog filters, default extensions, line ends and text encoding, twips.
#include <QTest>

#include <QLocale>

#include "binding.h"
#include "mainwindow.h"
#include "qtplatform.h"

using namespace korvagrid::gui;

class BindingTest : public QObject {
  Q_OBJECT

 private slots:
  void nameFilters_data();
  void nameFilters();
  void defaultSuffix_data();
  void defaultSuffix();
  void lineEnds_data();
  void lineEnds();
  void twips_data();
  void twips();
  void localeSeparator_data();
  void localeSeparator();
};

void BindingTest::nameFilters_data() {
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QStringList>("expected");
  // Descriptions that already show their pattern are kept as they are.
  QTest::newRow("open") << "(*.txt)|*.txt|All (*.*)|*.*"
                        << QStringList{"(*.txt)", "All (*.*)"};
  // A trailing "|" leaves an empty pair, which is no filter.
  QTest::newRow("save as") << "(*.*)|*.*|Текстовый файл (*.txt)|*.txt|"
                           << QStringList{"(*.*)", "Текстовый файл (*.txt)"};
  QTest::newRow("results as text") << "Text file (*.txt)|*.txt|All.file (*.*)|*.*"
                                   << QStringList{"Text file (*.txt)", "All.file (*.*)"};
  QTest::newRow("waypoints") << "OziExplorer (*.wpt)|*.wpt|Text file (*.txt)|*.txt|All.file (*.*)|*.*"
                             << QStringList{"OziExplorer (*.wpt)", "Text file (*.txt)", "All.file (*.*)"};
  // The pattern written in the description without parentheses: Qt needs them.
  QTest::newRow("help document") << "Файлы *.htm|*.htm" << QStringList{"Файлы *.htm (*.htm)"};
  QTest::newRow("no filter") << "" << QStringList{};
}

void BindingTest::nameFilters() {
  QFETCH(QString, filter);
  QFETCH(QStringList, expected);
  QCOMPARE(ToQtNameFilters(filter.toStdString()), expected);
}

void BindingTest::defaultSuffix_data() {
  QTest::addColumn<QString>("extension");
  QTest::addColumn<QString>("suffix");
  QTest::newRow("pattern form") << "*.txt" << "txt";
  QTest::newRow("dotted") << ".wpt" << "wpt";
  QTest::newRow("bare") << "htm" << "htm";
  QTest::newRow("none") << "" << "";
  QTest::newRow("any file asks for no suffix") << "*.*" << "";
}

void BindingTest::defaultSuffix() {
  QFETCH(QString, extension);
  QFETCH(QString, suffix);
  QCOMPARE(ToQtDefaultSuffix(extension.toStdString()), suffix);
}

void BindingTest::lineEnds_data() {
  QTest::addColumn<QByteArray>("model");   // UTF-8 with CR LF
  QTest::addColumn<QString>("widget");     // what the box shows
  QTest::addColumn<bool>("roundTrip");     // the box's text converts back unchanged
  QTest::newRow("lines end in CR LF") << QByteArray("a\r\nb\r\n") << "a\nb\n" << true;
  QTest::newRow("Cyrillic and degree sign stay UTF-8")
      << QByteArray("Пункт 55°45'\r\n") << "Пункт 55°45'\n" << true;
  QTest::newRow("empty lines keep their place") << QByteArray("1\r\n\r\n2") << "1\n\n2" << true;
  // A lone CR is no line end; it is kept, and the way back writes no LF for it.
  QTest::newRow("lone CR") << QByteArray("a\rb") << "a\rb" << true;
  // A bare LF in the model becomes a line break and comes back as CR LF.
  QTest::newRow("bare LF") << QByteArray("a\nb") << "a\nb" << false;
}

void BindingTest::lineEnds() {
  QFETCH(QByteArray, model);
  QFETCH(QString, widget);
  QFETCH(bool, roundTrip);
  const std::string text = model.toStdString();
  QCOMPARE(ToWidgetText(text), widget);
  QCOMPARE(ToModelText(widget) == text, roundTrip);
}

void BindingTest::twips_data() {
  QTest::addColumn<double>("twips");
  QTest::addColumn<int>("dpi");
  QTest::addColumn<int>("pixels");
  QTest::newRow("one inch at 96 dpi") << 1440.0 << 96 << 96;
  QTest::newRow("15 twips are one pixel at 96 dpi") << 15.0 << 96 << 1;
  QTest::newRow("half a pixel rounds up") << 7.5 << 96 << 1;
  QTest::newRow("the worked box width at 96 dpi") << 5590.0 << 96 << 373;
  QTest::newRow("the same at 144 dpi") << 5590.0 << 144 << 559;
}

void BindingTest::twips() {
  QFETCH(double, twips);
  QFETCH(int, dpi);
  QFETCH(int, pixels);
  QCOMPARE(TwipsToPixels(twips, dpi), pixels);
  QCOMPARE(PixelsToTwips(pixels * 2, dpi), 2 * pixels * 1440.0 / dpi);
}

void BindingTest::localeSeparator_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<char>("separator");
  QTest::newRow("C") << "C" << '.';
  QTest::newRow("English") << "en_US" << '.';
  // "4.5" is no number where "." groups thousands or is not used at all.
  QTest::newRow("German") << "de_DE" << ',';
  QTest::newRow("Russian") << "ru_RU" << ',';
}

void BindingTest::localeSeparator() {
  QFETCH(QString, locale);
  QFETCH(char, separator);
  const QLocale before;
  QLocale::setDefault(QLocale(locale));
  const char found = LocaleDecimalSeparator();
  QLocale::setDefault(before);
  QCOMPARE(found, separator);
}

QTEST_MAIN(BindingTest)
#include "test_binding.moc"
