// The kestrel command-line program: works on drawings through the headless host and the module.
// Exit status: 0 on success, 1 when the work fails, 2 on wrong usage.
#include <cstdio>
#include <cstring>
#include <memory>

#include "host/db/database.h"
#include "host/db/dictionary.h"
#include "host/db/open.h"
#include "host/db/symbol_table.h"
#include "platform/utf8.h"

namespace {

void printUsage(std::FILE* out) {
    std::fputs(
        "usage: kestrel [--help] [--version] <command> [args]\n"
        "\n"
        "commands:\n"
        "  demo    build a drawing in the headless host and print what it holds\n",
        out);
}

void printText(const wchar_t* text) {
    std::fputs(wideToUtf8(text ? text : L"").c_str(), stdout);
}

// Prints the names of the records of the table with that id; false when it cannot be read.
bool printTable(const char* title, AcDbObjectId tableId) {
    AcDbSymbolTable* table = nullptr;
    if (acdbOpenObject(table, tableId, AcDb::kForRead) != Acad::eOk) {
        std::fprintf(stderr, "kestrel: cannot open the %s table\n", title);
        return false;
    }
    std::printf("%-16s", title);
    AcDbSymbolTableIterator* iterator = nullptr;
    if (table->newIterator(iterator) == Acad::eOk) {
        for (; !iterator->done(); iterator->step()) {
            AcDbSymbolTableRecord* record = nullptr;
            if (iterator->getRecord(record, AcDb::kForRead) != Acad::eOk) {
                continue;
            }
            const wchar_t* name = nullptr;
            record->getName(name);
            std::fputs(" ", stdout);
            printText(name);
            record->close();
        }
        delete iterator;
    }
    std::fputs("\n", stdout);
    table->close();
    return true;
}

bool printNamedObjects(AcDbDatabase& db) {
    AcDbDictionary* dictionary = nullptr;
    if (db.getNamedObjectsDictionary(dictionary, AcDb::kForRead) != Acad::eOk) {
        std::fputs("kestrel: cannot open the named object dictionary\n", stderr);
        return false;
    }
    std::printf("%-16s", "dictionaries");
    std::unique_ptr<AcDbDictionaryIterator> iterator(dictionary->newIterator());
    for (; iterator && !iterator->done(); iterator->next()) {
        std::fputs(" ", stdout);
        printText(iterator->name());
    }
    std::fputs("\n", stdout);
    dictionary->close();
    return true;
}

int runDemo() {
    AcDbDatabase db(true, true);
    std::puts("A new drawing in the headless host holds:");
    bool ok = printTable("layers", db.layerTableId());
    ok = printTable("linetypes", db.linetypeTableId()) && ok;
    ok = printTable("text styles", db.textStyleTableId()) && ok;
    ok = printTable("dim styles", db.dimStyleTableId()) && ok;
    ok = printTable("applications", db.regAppTableId()) && ok;
    ok = printTable("blocks", db.blockTableId()) && ok;
    ok = printNamedObjects(db) && ok;
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage(stderr);
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        printUsage(stdout);
        return 0;
    }
    if (std::strcmp(command, "--version") == 0) {
        std::printf("kestrel %s\n", KESTREL_VERSION);
        return 0;
    }
    if (std::strcmp(command, "demo") == 0 && argc == 2) {
        return runDemo();
    }
    std::fprintf(stderr, "kestrel: unknown command or arguments: '%s'\n", command);
    printUsage(stderr);
    return 2;
}
