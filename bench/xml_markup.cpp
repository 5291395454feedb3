// Speed of the XML markup engine beside pugixml and RapidXML, on three generated documents of
// about ten million characters (repository-like, flat, text-heavy), the same text for every
// parser: indexing, full SetDocument, and the repository reading pattern. Rates are characters
// of the document per second; "index bytes/element" is the engine's memory beyond the text.
// The in-place parsers and the engine's indexing are timed alike: after one untimed warm-up parse,
// each refills a buffer it keeps outside the timing and parses it into structures whose memory
// the process already holds; "page faults" counts those taken inside the timing. Repetitions run
// interleaved by default (--benchmark_enable_random_interleaving=false turns that off), so that
// a change in the machine's load falls on every benchmark of a comparison alike.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstring>
#include <pugixml.hpp>
#include <rapidxml/rapidxml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_markup_doc.h"

namespace {

constexpr std::size_t kTarget = 10'000'000;

// Deterministic words, a few of them outside ASCII, now and then an entity.
class Words {
public:
    std::wstring next() {
        static const wchar_t* const kWords[] = {
            L"drawing", L"layer",  L"block", L"caf\u00e9", L"entity", L"\u56fe\u5c42",
            L"arc",     L"radius", L"point", L"&amp;",     L"value",  L"na\u00efve"};
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return kWords[(m_state >> 33) % (sizeof kWords / sizeof *kWords)];
    }
    unsigned number() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>(m_state >> 40);
    }

private:
    std::uint64_t m_state = 42;
};

std::wstring sentence(Words& words, int count) {
    std::wstring out;
    for (int i = 0; i < count; ++i) {
        out += (i ? L" " : L"") + words.next();
    }
    return out;
}

// 200 entries of nested settings markup, as the repository keeps them.
std::wstring repositoryDocument() {
    Words words;
    std::wstring out = L"<appRepository>";
    const std::size_t perEntry = kTarget / 200;
    for (int entry = 0; entry < 200; ++entry) {
        const std::size_t start = out.size();
        out += L"<repositoryEntry refId=\"app" + std::to_wstring(entry) + L"\">";
        out += L"<settings version=\"3\">\r\n";
        for (int group = 0; out.size() - start < perEntry; ++group) {
            out += L"  <group name=\"g" + std::to_wstring(group) + L"\" enabled=\"true\">\r\n";
            for (int item = 0; item < 8; ++item) {
                out += L"    <item key=\"k" + std::to_wstring(item) + L"\" type=\"text\">" +
                       sentence(words, 3) + L"</item>\r\n";
            }
            out += L"    <empty flag='" + std::to_wstring(words.number() % 100) + L"'/>\r\n";
            out += L"  </group>\r\n";
        }
        out += L"</settings></repositoryEntry>";
    }
    return out + L"</appRepository>";
}

// Many small elements with attributes.
std::wstring flatDocument() {
    Words words;
    std::wstring out = L"<items>\n";
    for (int i = 0; out.size() < kTarget; ++i) {
        out += L"<item id=\"" + std::to_wstring(i) + L"\" name=\"" + words.next() + L"\" value=\"" +
               std::to_wstring(words.number() % 10000) + L"\" on=\"1\"/>\n";
    }
    return out + L"</items>";
}

// Long paragraphs of text and few elements.
std::wstring textDocument() {
    Words words;
    std::wstring out = L"<book>";
    for (int chapter = 0; out.size() < kTarget; ++chapter) {
        out += L"<chapter n=\"" + std::to_wstring(chapter) + L"\">";
        for (int p = 0; p < 10; ++p) {
            out += L"<p>" + sentence(words, 700) + L"</p>\n";
        }
        out += L"</chapter>";
    }
    return out + L"</book>";
}

struct Corpus {
    std::wstring wide;
    std::string utf8;
};

const Corpus& corpus(int which) {
    static const std::vector<Corpus> all = [] {
        std::vector<Corpus> made;
        for (std::wstring text : {repositoryDocument(), flatDocument(), textDocument()}) {
            std::string utf8 = wideToUtf8(text);
            made.push_back({std::move(text), std::move(utf8)});
        }
        return made;
    }();
    return all[static_cast<std::size_t>(which)];
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Runs `parse` once inside the timing, counting the page faults it takes into `faults`.
template <typename Parse>
void timed(benchmark::State& state, long& faults, Parse&& parse) {
    const long before = minorFaults();
    state.ResumeTiming();
    parse();
    state.PauseTiming();
    faults += minorFaults() - before;
}

void setFaults(benchmark::State& state, long faults) {
    state.counters["page faults"] =
        benchmark::Counter(static_cast<double>(faults), benchmark::Counter::kAvgIterations);
}

void setRate(benchmark::State& state, const Corpus& c) {
    state.counters["chars/s"] = benchmark::Counter(
        static_cast<double>(c.wide.size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

void labelOf(benchmark::State& state) {
    static const char* const kNames[] = {"repository", "flat", "text"};
    state.SetLabel(kNames[state.range(0)]);
}

int countElements(CXMLMarkupDoc& doc) {
    doc.ResetPosition();
    int count = 0;
    for (int depth = 0;;) {
        if (doc.FindNode(CXMLMarkupDoc::kNodeElement)) {
            ++count;
            doc.EnterElement();
            ++depth;
        } else if (depth-- > 0) {
            doc.LeaveElement();
        } else {
            return count;
        }
    }
}

// Indexing a text the document already holds: it is moved in, so nothing is copied. The text's
// storage is taken back and refilled outside the timing, as pugixml's buffer is below.
void BM_MarkupIndex(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    CXMLMarkupDoc doc;
    auto refilled = [&] {
        std::wstring buffer = doc.TakeDocument().takeStr();
        buffer.assign(c.wide);
        return CString(std::move(buffer));
    };
    doc.SetDocument(refilled());  // warm-up: the text's storage and the index are allocated
    long faults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CString text = refilled();
        timed(state, faults, [&] { benchmark::DoNotOptimize(doc.SetDocument(std::move(text))); });
        state.ResumeTiming();
    }
    setFaults(state, faults);
    setRate(state, c);
    labelOf(state);
    const int elements = countElements(doc);
    state.counters["elements"] = elements;
    state.counters["index bytes/element"] = 32.0 * doc.GetIndexSize() / std::max(elements, 1);
}

// The whole SetDocument from a wide string: copy and index.
void BM_MarkupSetDocument(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    CXMLMarkupDoc doc;
    for (auto _ : state) {
        benchmark::DoNotOptimize(doc.SetDocument(c.wide.c_str()));
    }
    setRate(state, c);
    labelOf(state);
}

// pugixml parsing its own copy of the UTF-8 text in place; the nodes of the former parse are
// freed outside the timing, so their memory is at hand for the next one.
void BM_PugiInPlaceUtf8(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    std::vector<char> buffer(c.utf8.size());
    pugi::xml_document doc;
    auto refill = [&] {
        doc.reset();
        std::memcpy(buffer.data(), c.utf8.data(), buffer.size());
    };
    auto parse = [&] {
        benchmark::DoNotOptimize(doc.load_buffer_inplace(buffer.data(), buffer.size()));
    };
    refill();
    parse();  // warm-up: the nodes' memory is allocated
    long faults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        refill();
        timed(state, faults, parse);
        state.ResumeTiming();
    }
    setFaults(state, faults);
    setRate(state, c);
    labelOf(state);
}

// pugixml loading the wide text (it converts to its UTF-8 form first).
void BM_PugiWide(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_buffer(c.wide.data(), c.wide.size() * sizeof(wchar_t),
                                                 pugi::parse_default, pugi::encoding_wchar));
    }
    setRate(state, c);
    labelOf(state);
}

// RapidXML parsing a copy of the text in place, wide and UTF-8.
template <typename Ch>
void rapidInPlace(benchmark::State& state, const std::basic_string<Ch>& text) {
    std::vector<Ch> buffer(text.size() + 1);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(buffer.data(), text.c_str(), buffer.size() * sizeof(Ch));
        rapidxml::xml_document<Ch> doc;
        state.ResumeTiming();
        doc.template parse<0>(buffer.data());
        benchmark::DoNotOptimize(doc.first_node());
        state.PauseTiming();
        doc.clear();
        state.ResumeTiming();
    }
}

void BM_RapidInPlaceWide(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    rapidInPlace(state, c.wide);
    setRate(state, c);
    labelOf(state);
}

void BM_RapidInPlaceUtf8(benchmark::State& state) {
    const Corpus& c = corpus(static_cast<int>(state.range(0)));
    rapidInPlace(state, c.utf8);
    setRate(state, c);
    labelOf(state);
}

// Repository reading: find the entry "app150" among 200, read its refId and raw content.
void BM_MarkupReadEntry(benchmark::State& state) {
    CXMLMarkupDoc doc;
    doc.SetDocument(corpus(0).wide.c_str());
    std::size_t read = 0;
    for (auto _ : state) {
        doc.ResetPosition();
        doc.FindElement(L"appRepository");
        doc.EnterElement();
        while (doc.FindElement(L"repositoryEntry")) {
            if (doc.GetAttribute(L"refId") == L"app150") {
                read += static_cast<std::size_t>(doc.GetElementContent().GetLength());
                break;
            }
        }
        doc.LeaveElement();
    }
    benchmark::DoNotOptimize(read);
}

void BM_PugiReadEntry(benchmark::State& state) {
    pugi::xml_document doc;
    doc.load_buffer(corpus(0).utf8.data(), corpus(0).utf8.size());
    std::size_t read = 0;
    for (auto _ : state) {
        for (pugi::xml_node entry : doc.child("appRepository").children("repositoryEntry")) {
            if (std::strcmp(entry.attribute("refId").value(), "app150") == 0) {
                // The raw content: the entry's children written back without formatting.
                std::ostringstream content;
                for (pugi::xml_node child : entry.children()) {
                    child.print(content, "", pugi::format_raw);
                }
                read += content.str().size();
                break;
            }
        }
    }
    benchmark::DoNotOptimize(read);
}

}  // namespace

BENCHMARK(BM_MarkupIndex)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkupSetDocument)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugiInPlaceUtf8)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PugiWide)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidInPlaceWide)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RapidInPlaceUtf8)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkupReadEntry)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PugiReadEntry)->Unit(benchmark::kMicrosecond);

// Google Benchmark's main, with interleaved repetitions unless the command line says otherwise
// (a flag given later on the command line wins).
int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
