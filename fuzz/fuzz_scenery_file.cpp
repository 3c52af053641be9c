// The scenery-file extraction on the bytes of one file: the image as the collector walks it
// (an exact-size copy), the same bytes as a real file that ScanFile maps, the module's own
// collector in extraction mode, and its fingerprint mode on a path and a directory entry taken
// from the input. All three walks must report the same airports, and the same as the plain walk
// of every block on its own (plain_extraction.h) reports.

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "airports/afd_info_collector.h"
#include "airports/afd_list.h"
#include "airports/airport_finder.h"
#include "airports/default_areas.h"
#include "airports/scenery_fingerprint.h"
#include "airports/scenery_observer.h"
#include "fuzz_common.h"
#include "scenery/plain_extraction.h"

namespace {

using halvern::fuzz::Check;

struct Reported {
    std::string name;
    std::string code;
    double latitude;
    double longitude;
    double elevationMetres;

    bool operator==(const Reported&) const = default;
};

// Records every airport and checks what it is handed: the name lies inside the image (when the
// image is known), the code fits its 8-character buffer, the figures are finite.
class CheckingCollector : public halvern::AFDInfoCollector {
  public:
    CheckingCollector(const unsigned char* image, std::size_t size) : image_(image), size_(size) {}

    void OnAirport(const char* name, double latitude, double longitude, double elevationMetres,
                   const char* code) override {
        if (image_ != nullptr) {
            const auto* at = reinterpret_cast<const unsigned char*>(name);
            Check(at >= image_ && at < image_ + size_, "the name does not point into the image");
            Check(std::strlen(name) < static_cast<std::size_t>(image_ + size_ - at),
                  "the name runs past the image");
        }
        Check(std::strlen(code) <= 7, "the code is longer than its buffer");
        Check(std::isfinite(latitude) && std::isfinite(longitude) && std::isfinite(elevationMetres),
              "a decoded figure is not finite");
        airports.push_back({name, code, latitude, longitude, elevationMetres});
    }

    std::vector<Reported> airports;

  private:
    const unsigned char* image_;
    std::size_t size_;
};

// Checks what the extraction tells an observer against what it reported: at most one early end
// per file, after exactly the airports reported before it, and one file told
// with the airports it gave.
class CheckingObserver : public halvern::SceneryObserver {
  public:
    explicit CheckingObserver(const CheckingCollector& collector) : collector_(collector) {}

    void OnArea(const halvern::SceneryArea&) override { Check(false, "an area told for a file"); }
    void OnWalkEnd(halvern::WalkEnd, std::int64_t offset, std::int32_t airportsBefore) override {
        Check(++ends == 1, "a file's walk ended twice");
        // A record the walk stepped to may lie past the end: that is why it ended there.
        Check(offset >= 0, "a walk ended before its file");
        Check(static_cast<std::size_t>(airportsBefore) == collector_.airports.size(),
              "the airports before an early end are miscounted");
    }
    void OnFile(const char*, const halvern::platform::FileEntry&, halvern::FileFate fate,
                std::int32_t airports) override {
        Check(++files == 1, "a file was told twice");
        Check(static_cast<std::size_t>(airports) == collector_.airports.size(),
              "a file was told with another airport count");
        Check(fate == halvern::FileFate::kRead || (airports == 0 && ends == 0),
              "a file not read gave airports");
    }
    int ends = 0;
    int files = 0;

  private:
    const CheckingCollector& collector_;
};

class CountingFinder : public halvern::AirportFinder {
  public:
    void OnFileScanned(const char* /*path*/, const halvern::platform::FileEntry& /*e*/) override {
        ++scanned;
    }
    int scanned = 0;
};

halvern::platform::FileEntry EntryFromInput(const std::uint8_t* data, std::size_t size) {
    halvern::fuzz::InputReader reader(data, size);
    halvern::platform::FileEntry entry{};
    entry.size = reader.Take<std::uint64_t>();
    entry.lastWriteTime = reader.Take<std::uint64_t>();
    entry.creationTime = reader.Take<std::uint64_t>();
    entry.attributes = reader.Take<std::uint32_t>();
    std::strcpy(entry.name, "Input.bgl");
    return entry;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const halvern::fuzz::ExactCopy image(data, size);

    CheckingCollector walked(image.data(), image.size());
    walked.ParseMappedFile(image.data(), image.size());
    // The section walk without the header check, as the plain walk does it.
    CheckingCollector extracted(image.data(), image.size());
    extracted.ExtractAirports(image.data(), image.size());
    const std::vector<halvern::testing::PlainAirport> plain =
        halvern::testing::PlainExtraction(image.data(), image.size()).Airports();
    Check(plain.size() == extracted.airports.size(), "the plain walk reports another count");
    for (std::size_t i = 0; i < plain.size() && i < extracted.airports.size(); ++i) {
        const Reported& a = extracted.airports[i];
        Check(plain[i] == halvern::testing::PlainAirport{a.name, a.code, a.latitude, a.longitude,
                                                         a.elevationMetres},
              "the plain walk reports another airport");
    }

    // The same bytes as a file on the disk, mapped by the collector itself.
    const halvern::fuzz::ScratchSimulator& sim = halvern::fuzz::ScratchSimulator::Get();
    sim.Write("Addon/scenery/Input.bgl", data, size);
    const halvern::platform::FileEntry entry = EntryFromInput(data, size);
    CheckingCollector mapped(nullptr, 0);
    CheckingObserver observer(mapped);
    mapped.Observe(&observer);
    mapped.ScanFile(sim.Host("Addon\\scenery\\Input.bgl").c_str(), entry);
    Check(mapped.airports == walked.airports, "the mapped file reports other airports");
    Check(observer.files == 1, "the file was not told");

    // Extraction mode: every reported airport becomes a record.
    CountingFinder finder;
    {
        halvern::AirportFinder::My_AFDList extraction(finder, halvern::SceneryPass::kExtraction);
        extraction.ParseMappedFile(image.data(), image.size());
    }
    Check(finder.RecordCount() == static_cast<std::int32_t>(walked.airports.size()),
          "extraction mode lost or invented records");
    for (std::int32_t i = 0; i < finder.RecordCount(); ++i) {
        const auto& airport = walked.airports[static_cast<std::size_t>(i)];
        // The database keeps at most the first kLongestName characters of a name.
        Check(airport.name.substr(0, halvern::AirportFinder::kLongestName) == finder.Record(i).name,
              "a record's name differs from the report");
        Check(std::strlen(finder.Record(i).code) <= 4, "a record's code is longer than four");
    }

    // Fingerprint mode on a path made of the input's text: never opens the file, folds it
    // unless it lies in a default area, and counts it as scanned exactly then.
    const std::string path(reinterpret_cast<const char*>(data),
                           strnlen(reinterpret_cast<const char*>(data), size));
    finder.SetSceneryFingerprint(0x12345678);
    {
        halvern::AirportFinder::My_AFDList fingerprinting(finder,
                                                          halvern::SceneryPass::kFingerprint);
        fingerprinting.ScanFile(path.c_str(), entry);
    }
    const bool skipped = halvern::IsInDefaultArea(path.c_str());
    Check(finder.scanned == (skipped ? 0 : 1), "the scanned count does not follow the area test");
    Check(finder.SceneryFingerprint() ==
              (skipped ? 0x12345678u : halvern::FoldFingerprint(0x12345678u, path.c_str(), entry)),
          "the fingerprint pass folded something else");
    return 0;
}
