// The XML repository at scale. SetXML of one text in a command followed by the host's undo, for
// texts of 256 K, 512 K and 1 M characters, and the repository of 200 applications saved into
// the drawing and loaded back, at 12.5 K, 25 K and 50 K characters per application: time per
// character must stay flat (linear cost). Beside the load, the same document parsed by pugixml
// (converting from wide characters, as it keeps UTF-8) and RapidXML, whose per-character cost
// is the floor of reading it at all.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>
#include <rapidxml/rapidxml.hpp>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/host/app/document.h"
#include "kestrel/host/harness.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "xmlrepo/application_repository.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

constexpr int kApplications = 200;

// An element of length characters: <t>xxx...</t>.
std::wstring elementOf(std::size_t length) {
    std::wstring text = L"<t>" + std::wstring(length - 7, L'x') + L"</t>";
    for (std::size_t i = 3; i + 4 < length; i += 97) {
        text[i] = static_cast<wchar_t>(L'a' + i % 26);
    }
    return text;
}

std::wstring nameOf(int index) {
    return L"Application" + std::to_wstring(1000 + index);
}

void perCharacter(benchmark::State& state, std::size_t characters) {
    state.counters["ns_per_char"] =
        benchmark::Counter(static_cast<double>(state.iterations() * characters),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A document that is current while the benchmark runs, closed afterwards.
class CurrentDocument {
public:
    CurrentDocument() : m_doc(host::newDocument()) {}
    ~CurrentDocument() { host::closeDocument(m_doc); }

private:
    AcApDocument* m_doc;
};

void BM_SetXmlAndUndo(benchmark::State& state) {
    const std::wstring text = elementOf(static_cast<std::size_t>(state.range(0)));
    CurrentDocument doc;
    CString empty;
    _CXMLHandler::GetXML(L"Bench", empty);
    for (auto _ : state) {
        host::beginCommand(L"SETXML");
        benchmark::DoNotOptimize(_CXMLHandler::SetXML(L"Bench", text.c_str()));
        host::endCommand();
        benchmark::DoNotOptimize(host::undo());
    }
    perCharacter(state, text.size());
}
BENCHMARK(BM_SetXmlAndUndo)->Arg(256 << 10)->Arg(512 << 10)->Arg(1 << 20);

// Fills the working drawing's table with the applications' texts.
void fillApplications(std::size_t length) {
    const std::wstring text = elementOf(length);
    for (int i = 0; i < kApplications; ++i) {
        _CXMLHandler::SetXML(nameOf(i).c_str(), text.c_str());
    }
}

// Each save goes to a fresh drawing holding the texts, so that records replaced by earlier
// saves and their undo records do not pile up between runs.
void BM_RepositorySave(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CurrentDocument>();
        fillApplications(length);
        boost::shared_ptr<CVLKXMLUndoObjectTable> table = GetUndoTable();
        state.ResumeTiming();
        benchmark::DoNotOptimize(table->SaveToRepository());
        state.PauseTiming();
        table.reset();
        doc.reset();
        state.ResumeTiming();
    }
    perCharacter(state, length * kApplications);
}
BENCHMARK(BM_RepositorySave)->Arg(12800)->Arg(25600)->Arg(51200)->Unit(benchmark::kMillisecond);

void BM_RepositoryLoad(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    CurrentDocument doc;
    fillApplications(length);
    GetUndoTable()->SaveToRepository();
    boost::shared_ptr<CApplicationRepository> repository = GetRepository();
    for (auto _ : state) {
        benchmark::DoNotOptimize(repository->Load());
    }
    CStringArray names;
    if (repository->GetEntryNames(names) != kApplications) {
        state.SkipWithError("the repository did not load back");
    }
    perCharacter(state, length * kApplications);
}
BENCHMARK(BM_RepositoryLoad)->Arg(12800)->Arg(25600)->Arg(51200)->Unit(benchmark::kMillisecond);

// The repository document of the applications, as Save writes it.
std::wstring repositoryDocument(std::size_t length) {
    CApplicationRepository repository;
    const std::wstring text = elementOf(length);
    for (int i = 0; i < kApplications; ++i) {
        repository.SetEntry(nameOf(i).c_str(), text.c_str());
    }
    CString document;
    return repository.BuildDocument(document).str();
}

void BM_PeerPugixmlLoad(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    std::wstring document;
    {
        CurrentDocument doc;
        document = repositoryDocument(length);
    }
    for (auto _ : state) {
        pugi::xml_document parsed;
        parsed.load_buffer(document.data(), document.size() * sizeof(wchar_t), pugi::parse_default,
                           pugi::encoding_wchar);
        int entries = 0;
        for (pugi::xml_node entry : parsed.child("appRepository").children("repositoryEntry")) {
            benchmark::DoNotOptimize(entry.attribute("refId").value());
            ++entries;
        }
        benchmark::DoNotOptimize(entries);
    }
    perCharacter(state, length * kApplications);
}
BENCHMARK(BM_PeerPugixmlLoad)->Arg(12800)->Arg(25600)->Arg(51200)->Unit(benchmark::kMillisecond);

void BM_PeerRapidXmlLoad(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    std::wstring document;
    {
        CurrentDocument doc;
        document = repositoryDocument(length);
    }
    // Parsing in place overwrites the text: each run copies it into the same buffer first.
    std::vector<wchar_t> buffer(document.size() + 1);
    for (auto _ : state) {
        std::copy(document.begin(), document.end(), buffer.begin());
        buffer.back() = L'\0';
        rapidxml::xml_document<wchar_t> parsed;
        parsed.parse<0>(buffer.data());
        int entries = 0;
        for (auto* entry = parsed.first_node(L"appRepository")->first_node(L"repositoryEntry");
             entry != nullptr; entry = entry->next_sibling(L"repositoryEntry")) {
            benchmark::DoNotOptimize(entry->first_attribute(L"refId")->value());
            ++entries;
        }
        benchmark::DoNotOptimize(entries);
    }
    perCharacter(state, length * kApplications);
}
BENCHMARK(BM_PeerRapidXmlLoad)->Arg(12800)->Arg(25600)->Arg(51200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
