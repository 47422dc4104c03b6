// The window model with point files (Form1 with the exchange library's
// PointFiles and a scripted platform): "Open..." offers the formats and opens
// a point file as its named input list, refusing a file of another system;
// Save of such a document asks for a text file; "Save Resultats" writes the
// format of the chosen filter, else of the extension, in the system of the
// run, and refuses what the format cannot hold with a warning.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "documents/text_file.h"
#include "exchange/exchange_point_files.h"
#include "support/fake_platform.h"
#include "support/list_places.h"
#include "support/temp_dir.h"
#include "ui/form1.h"

namespace korvagrid {
namespace {

namespace fs = std::filesystem;
using enum FormatItem;

constexpr int kZone6Index = 8;  // "42(zone6)"

constexpr const char* kNamedZone6 =
    "Пункт-1 6212345.678 6512345.678 162.310\r\n"
    "Ёлка№2 6198765.432 6487654.321 148.720\r\n";

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The OGR driver that opens a file, and the names of its points (GPX: the
// waypoints; DXF: the labels of layer NAMES; CSV: the Name column).
struct FileSeenByGdal {
  std::string driver;
  std::vector<std::string> names;
};

FileSeenByGdal SeenByGdal(const fs::path& file) {
  GDALAllRegister();
  GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR));
  if (!ds) return {};
  FileSeenByGdal seen{ds->GetDriver()->GetDescription(), {}};
  OGRLayer* layer = ds->GetLayerByName("waypoints") != nullptr ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
  for (const OGRFeatureUniquePtr& f : *layer) {
    const int layerField = f->GetFieldIndex("Layer");
    if (layerField >= 0 && std::string(f->GetFieldAsString(layerField)) != "NAMES") continue;
    for (const char* field : {"name", "Name", "Text"}) {
      if (f->GetFieldIndex(field) >= 0) {
        seen.names.emplace_back(f->GetFieldAsString(field));
        break;
      }
    }
  }
  return seen;
}

struct Window {
  testing::FakePlatform platform;
  Form1 form{platform};
  ExchangePointFiles pointFiles;
  testing::TempDir dir;

  explicit Window(bool withPointFiles = true) {
    form.load('.');
    if (withPointFiles) form.setPointFiles(&pointFiles);
  }
  // Converts the named "42(zone6)" list to the target at `targetIndex`.
  void convertTo(int targetIndex) {
    form.selectCombo1(kZone6Index);
    form.selectCombo3(1);
    form.selectCombo2(targetIndex);
    form.Txt1 = kNamedZone6;
    form.convert();
    ASSERT_EQ(form.lastRun.end, RunEnd::Completed) << form.lastRun.reason;
  }
  ChosenFile chosen(const std::string& name, const std::string& pattern) const {
    return {(dir / name).string(), name, pattern};
  }
  std::vector<std::string> warnings() const {
    std::vector<std::string> texts;
    for (const auto& w : platform.warnings) texts.push_back(w.text);
    return texts;
  }
};

bool Mentions(const std::vector<std::string>& texts, const std::vector<std::string>& fragments) {
  for (const std::string& text : texts) {
    bool all = true;
    for (const std::string& fragment : fragments) all = all && text.find(fragment) != std::string::npos;
    if (all) return true;
  }
  return false;
}

// ------------------------------------------------------------ Save Resultats

struct SaveCase {
  int target;               // list index of the run's target
  bool waypoints;           // the Format item "Format OziExplorer" checked
  const char* name;         // as typed in the dialog
  const char* pattern;      // the chosen filter
  const char* written;      // the file that must appear
  const char* driver;       // the OGR driver that reads it; "" for the result text itself
  std::vector<std::string> warning;  // fragments of the warning instead of a file
  const char* why;
};

TEST(WindowPointFiles, SaveResultsWritesTheFormatOfTheFilterElseOfTheExtension) {
  const std::vector<SaveCase> rows = {
      {testing::kWgs84Index, false, "out", "*.gpx", "out.gpx", "GPX", {}, "the filter decides and names the file"},
      {testing::kWgs84Index, false, "out.kml", "*.*", "out.kml", "KML", {}, "all files: the extension decides"},
      {kZone6Index, false, "out.csv", "*.txt", "out.csv", "CSV", {}, "the text filter leaves it to the extension"},
      {kZone6Index, false, "out.gpkg", "*.gpkg", "out.gpkg", "GPKG", {}, "a GeoPackage of the zone"},
      {kZone6Index, false, "out.shp", "*.shp", "out.shp", "ESRI Shapefile", {}, "a Shapefile of the zone"},
      {kZone6Index, false, "out", "*.dxf", "out.dxf", "DXF", {}, "a drawing of a plane target"},
      {testing::kWgs84Index, false, "out", "*.geojson", "out.geojson", "GeoJSON", {}, "GeoJSON of WGS-84"},
      {kZone6Index, false, "out.txt", "*.txt", "out.txt", "", {}, "text stays the result text"},
      {testing::kWgs84Index, true, "out", "*.wpt", "out.wpt", "", {}, "waypoints stay the waypoint text"},
      {testing::kWgs84Index, true, "out", "*.gpx", "out.gpx", "GPX", {}, "the waypoint dialog offers GPX too"},
      {testing::kBlhKrasIndex, false, "out", "*.gpx", "out.gpx", "", {"GPX", "WGS-84", "BLH(Kras)"},
       "GPX refuses BLH(Kras) naming why"},
      {testing::kWgs84Index, false, "out", "*.dxf", "out.dxf", "", {"DXF", "WGS-84"}, "DXF refuses a geographic target"},
  };
  for (const SaveCase& row : rows) {
    SCOPED_TRACE(row.why);
    Window w;
    w.convertTo(row.target);
    if (row.waypoints) w.form.formatItemClick(fOzi);
    w.platform.saveChoices.push_back(w.chosen(row.name, row.pattern));
    w.form.saveResults();

    // The dialog lists the formats before its last entry, all files.
    ASSERT_EQ(w.platform.saveRequests.size(), 1U);
    const std::string& filter = w.platform.saveRequests[0].filter;
    EXPECT_NE(filter.find("GPX (*.gpx)|*.gpx|"), std::string::npos) << filter;
    EXPECT_TRUE(filter.ends_with("|DXF (*.dxf)|*.dxf|All.file (*.*)|*.*")) << filter;

    const fs::path file = w.dir / row.written;
    if (!row.warning.empty()) {
      EXPECT_TRUE(Mentions(w.warnings(), row.warning)) << ::testing::PrintToString(w.warnings());
      EXPECT_FALSE(fs::exists(file));
      continue;
    }
    EXPECT_TRUE(w.warnings().empty()) << ::testing::PrintToString(w.warnings());
    ASSERT_TRUE(fs::exists(file));
    if (std::string(row.driver).empty()) {
      // Byte for byte what the window writes without point files.
      Window text(false);
      text.convertTo(row.target);
      if (row.waypoints) text.form.formatItemClick(fOzi);
      text.platform.saveChoices.push_back(text.chosen(row.name, row.pattern));
      text.form.saveResults();
      EXPECT_EQ(ReadBytes(file), ReadBytes(text.dir / row.written));
      continue;
    }
    const FileSeenByGdal seen = SeenByGdal(file);
    EXPECT_TRUE(seen.driver.ends_with(row.driver)) << seen.driver;  // KML may be read by LIBKML
    EXPECT_EQ(seen.names, (std::vector<std::string>{"Пункт-1", "Ёлка№2"}));
  }
}

TEST(WindowPointFiles, SavedPointsAreThoseOfTheLastRunInItsTarget) {
  Window w;
  w.convertTo(testing::kWgs84Index);
  // Choosing another target after the run does not change what was converted.
  w.form.selectCombo2(testing::kBlhKrasIndex);
  w.platform.saveChoices.push_back(w.chosen("run.gpx", "*.gpx"));
  w.form.saveResults();
  EXPECT_TRUE(w.warnings().empty()) << ::testing::PrintToString(w.warnings());
  EXPECT_EQ(SeenByGdal(w.dir / "run.gpx").names.size(), 2U);

  // The inverse problem's legs are no points; neither is a new document.
  for (const auto& [why, clear] : std::vector<std::pair<const char*, void (*)(Form1&)>>{
           {"inverse problem", [](Form1& f) {
              f.selectCombo2(kZone6Index);
              f.solveInverseProblem();
            }},
           {"new document", [](Form1& f) { f.newDocument(); }}}) {
    SCOPED_TRACE(why);
    w.convertTo(testing::kWgs84Index);
    clear(w.form);
    w.platform.warnings.clear();
    w.platform.saveChoices.push_back(w.chosen("none.gpx", "*.gpx"));
    w.form.saveResults();
    EXPECT_TRUE(Mentions(w.warnings(), {"нет пересчитанных точек"})) << ::testing::PrintToString(w.warnings());
    EXPECT_FALSE(fs::exists(w.dir / "none.gpx"));
  }
}

// ------------------------------------------------------------ Open

TEST(WindowPointFiles, OpenReadsAPointFileAsTheNamedListOfTheSourceSystem) {
  Window w;
  // A GPX written by a run to WGS-84, opened with WGS-84 as the source.
  w.convertTo(testing::kWgs84Index);
  w.platform.saveChoices.push_back(w.chosen("trip.gpx", "*.gpx"));
  w.form.saveResults();
  const std::string results = w.form.Txt2;
  w.form.selectCombo1(testing::kWgs84Index);
  w.form.selectCombo3(0);
  w.form.formatItemClick(mnugms2);  // degree-minute-second text before
  w.platform.openChoices.push_back(w.chosen("trip.gpx", "*.gpx"));
  w.form.openWithDialog();

  const std::string& filter = w.platform.openRequests.at(0).filter;
  EXPECT_TRUE(filter.starts_with("(*.txt)|*.txt|GPX (*.gpx)|*.gpx|")) << filter;
  EXPECT_TRUE(filter.ends_with("|DXF (*.dxf)|*.dxf|All (*.*)|*.*")) << filter;
  EXPECT_TRUE(w.warnings().empty()) << ::testing::PrintToString(w.warnings());
  EXPECT_EQ(w.form.caption, "Korvagrid05&P3 : trip.gpx");
  EXPECT_EQ(w.form.Combo5.index, 1) << "the named layout";
  EXPECT_TRUE(w.form.format.checked(mnuGGG_0)) << "decimal degrees";
  EXPECT_TRUE(w.form.Txt2.empty());
  EXPECT_FALSE(w.form.inputModified());
  // The list converts to what was written: WGS-84 to itself in the same notation.
  w.form.selectCombo2(testing::kWgs84Index);
  w.form.selectCombo4(0);
  w.form.convert();
  EXPECT_EQ(w.form.lastRun.end, RunEnd::Completed) << w.form.lastRun.reason;
  EXPECT_EQ(w.form.Txt2, results);
}

struct OpenCase {
  const char* file;     // made by the run below, or by GDAL (lines.geojson)
  const char* pattern;  // the chosen filter
  int source;           // the source system while opening
  bool opens;
  std::vector<std::string> warning;  // fragments of the warning
  const char* why;
};

TEST(WindowPointFiles, OpenRefusesAnotherSystemAndReportsWhatIsNoPoint) {
  const std::vector<OpenCase> rows = {
      {"zone6.gpkg", "*.*", kZone6Index, true, {}, "the extension decides under all files"},
      {"zone6.gpkg", "*.gpkg", 7, false, {"EPSG:28406", "42(zone5)"}, "a file of the next zone, both named"},
      {"wgs.gpx", "*.gpx", kZone6Index, false, {"WGS 84", "42(zone6)"}, "GPX holds WGS-84 points"},
      {"lines.geojson", "*.geojson", testing::kWgs84Index, true, {"LINESTRING", "не точка"},
       "the point is read, the line reported"},
      {"empty.geojson", "*.geojson", testing::kWgs84Index, true, {"нет точек"}, "a file without points says so"},
  };
  for (const OpenCase& row : rows) {
    SCOPED_TRACE(row.why);
    Window w;
    w.convertTo(kZone6Index);
    w.platform.saveChoices = {w.chosen("zone6.gpkg", "*.gpkg")};
    w.form.saveResults();
    w.convertTo(testing::kWgs84Index);
    w.platform.saveChoices = {w.chosen("wgs.gpx", "*.gpx")};
    w.form.saveResults();
    {
      GDALAllRegister();
      for (const bool withLine : {true, false}) {
        const fs::path path = w.dir / (withLine ? "lines.geojson" : "empty.geojson");
        GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("GeoJSON")->Create(
            path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        OGRLayer* layer = ds->CreateLayer("points", nullptr, wkbUnknown, nullptr);
        if (!withLine) continue;
        for (const char* wkt : {"LINESTRING (37 55,38 56)", "POINT (37.5 55.5)"}) {
          OGRFeature feature(layer->GetLayerDefn());
          OGRGeometry* geometry = nullptr;
          OGRGeometryFactory::createFromWkt(wkt, nullptr, &geometry);
          feature.SetGeometryDirectly(geometry);
          ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
        }
      }
    }
    w.platform.warnings.clear();
    w.form.selectCombo1(row.source);
    w.form.Txt1 = "kept";
    w.form.documentName = "before.txt";
    w.platform.openChoices.push_back(w.chosen(row.file, row.pattern));
    w.form.openWithDialog();
    if (!row.warning.empty()) {
      EXPECT_TRUE(Mentions(w.warnings(), row.warning)) << ::testing::PrintToString(w.warnings());
    } else {
      EXPECT_TRUE(w.warnings().empty()) << ::testing::PrintToString(w.warnings());
    }
    if (row.opens) {
      EXPECT_EQ(w.form.documentName, (w.dir / row.file).string());
      EXPECT_NE(w.form.Txt1, "kept");
    } else {
      EXPECT_EQ(w.form.Txt1, "kept") << "a refused file changes nothing";
      EXPECT_EQ(w.form.documentName, "before.txt");
    }
  }
}

TEST(WindowPointFiles, WithoutPointFilesTheDialogsAndFilesAreTextAsBefore) {
  Window w(false);
  const fs::path gpx = w.dir.write("text.gpx", "P1 6212345.678 6512345.678 1\r\n");
  w.platform.openChoices.push_back(w.chosen("text.gpx", "*.*"));
  w.form.openWithDialog();
  EXPECT_EQ(w.platform.openRequests.at(0).filter, kOpenFilter);
  EXPECT_EQ(w.form.Txt1, "P1 6212345.678 6512345.678 1\r\n");
  w.form.Txt2 = "results";
  w.platform.saveChoices.push_back(w.chosen("out.gpx", "*.*"));
  w.form.saveResults();
  EXPECT_EQ(w.platform.saveRequests.at(0).filter, kResultsFilter);
  EXPECT_TRUE(ReadBytes(w.dir / "out.gpx").starts_with("results"));
}

// ------------------------------------------------------------ Save

TEST(WindowPointFiles, SaveOfAListOpenedFromAPointFileAsksForATextFile) {
  Window w;
  w.convertTo(testing::kWgs84Index);
  w.platform.saveChoices.push_back(w.chosen("trip.gpx", "*.gpx"));
  w.form.saveResults();
  const std::string gpx = ReadBytes(w.dir / "trip.gpx");
  w.form.selectCombo1(testing::kWgs84Index);
  w.platform.openChoices.push_back(w.chosen("trip.gpx", "*.gpx"));
  w.form.openWithDialog();
  ASSERT_TRUE(w.warnings().empty()) << ::testing::PrintToString(w.warnings());

  // Save, Save as and Yes to the question at exit all ask for a text file,
  // proposing the point file's name with ".txt"; cancelled, they write nothing.
  const std::string textName = (w.dir / "trip.txt").string();
  const std::vector<std::pair<const char*, std::function<void(Form1&)>>> commands = {
      {"Save", [](Form1& f) { f.save(); }},
      {"Save as", [](Form1& f) { f.saveAs(); }},
      {"exit with an edited list", [&w](Form1& f) {
         f.Txt1 += "P9 55.5 37.5 1\r\n";
         w.platform.threeWayAnswers = {Answer::Yes};
         EXPECT_FALSE(f.confirmExit()) << "the save dialog was cancelled";
       }}};
  for (const auto& [why, command] : commands) {
    SCOPED_TRACE(why);
    w.platform.saveRequests.clear();
    command(w.form);
    ASSERT_EQ(w.platform.saveRequests.size(), 1U);
    EXPECT_EQ(w.platform.saveRequests[0].proposedName, textName);
    EXPECT_EQ(ReadBytes(w.dir / "trip.gpx"), gpx) << "the point file is never written with text";
  }
  // Once saved as text, the list is that text file's.
  w.platform.saveChoices.push_back(w.chosen("trip.txt", "*.txt"));
  w.form.save();
  EXPECT_EQ(w.form.documentName, textName);
  EXPECT_TRUE(ReadTextDocument(textName).text.starts_with(w.form.Txt1));
  w.platform.saveRequests.clear();
  w.form.Txt1 += "P10 55.5 37.5 1\r\n";
  w.form.save();
  EXPECT_TRUE(w.platform.saveRequests.empty()) << "Save writes the text file without asking";
  EXPECT_TRUE(ReadTextDocument(textName).text.starts_with(w.form.Txt1));
}

}  // namespace
}  // namespace korvagrid
