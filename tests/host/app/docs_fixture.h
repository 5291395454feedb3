// The document tests' fixture: reactors that write every notification into one log (with the
// working database at that moment), attached to the editor and the document manager, and the
// checks every test ends with.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/editor.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/harness.h"
#include "tests/support/host_checks.h"

// One notification: its name, the document or database it named, the working database then.
struct Note {
    std::wstring name;
    const void* subject;
    const AcDbDatabase* working;
};

class NoteLog {
public:
    void add(const wchar_t* name, const void* subject) {
        m_notes.push_back({name, subject, acdbHostApplicationServices()->workingDatabase()});
    }
    std::vector<std::wstring> names() const {
        std::vector<std::wstring> list;
        for (const Note& note : m_notes) {
            list.push_back(note.name);
        }
        return list;
    }
    const std::vector<Note>& notes() const { return m_notes; }
    // The first note of that name; fails the test when there is none.
    Note find(const std::wstring& name) const {
        for (const Note& note : m_notes) {
            if (note.name == name) {
                return note;
            }
        }
        ADD_FAILURE() << "no notification " << std::string(name.begin(), name.end());
        return {};
    }
    void clear() { m_notes.clear(); }

private:
    std::vector<Note> m_notes;
};

class EditorRecorder : public AcEditorReactor {
public:
    explicit EditorRecorder(NoteLog& log) : m_log(log) {}
    void dwgFileOpened(AcDbDatabase* db, const ACHAR*) override { m_log.add(L"dwgFileOpened", db); }
    void initialDwgFileOpenComplete(AcDbDatabase* db) override {
        m_log.add(L"initialDwgFileOpenComplete", db);
    }
    void databaseConstructed(AcDbDatabase* db) override { m_log.add(L"databaseConstructed", db); }
    void databaseToBeDestroyed(AcDbDatabase* db) override {
        m_log.add(L"databaseToBeDestroyed", db);
    }
    void beginSave(AcDbDatabase* db, const ACHAR*) override { m_log.add(L"beginSave", db); }
    void saveComplete(AcDbDatabase* db, const ACHAR*) override { m_log.add(L"saveComplete", db); }
    void abortSave(AcDbDatabase* db) override { m_log.add(L"abortSave", db); }
    void beginDwgOpen(const ACHAR*) override { m_log.add(L"beginDwgOpen", nullptr); }
    void endDwgOpen(const ACHAR*, AcDbDatabase* db) override { m_log.add(L"endDwgOpen", db); }
    void beginClose(AcDbDatabase* db) override { m_log.add(L"beginClose", db); }

private:
    NoteLog& m_log;
};

class DocRecorder : public AcApDocManagerReactor {
public:
    explicit DocRecorder(NoteLog& log) : m_log(log) {}
    void documentCreateStarted(AcApDocument* doc) override {
        m_log.add(L"documentCreateStarted", doc);
    }
    void documentCreated(AcApDocument* doc) override { m_log.add(L"documentCreated", doc); }
    void documentToBeDestroyed(AcApDocument* doc) override {
        m_log.add(L"documentToBeDestroyed", doc);
    }
    void documentDestroyed(const ACHAR*) override { m_log.add(L"documentDestroyed", nullptr); }
    void documentCreateCanceled(AcApDocument* doc) override {
        m_log.add(L"documentCreateCanceled", doc);
    }
    void documentLockModeWillChange(AcApDocument* doc, AcAp::DocLockMode current,
                                    AcAp::DocLockMode next, AcAp::DocLockMode,
                                    const ACHAR*) override {
        m_log.add(L"documentLockModeWillChange", doc);
        m_modes.push_back({current, next});
    }
    void documentLockModeChangeVetoed(AcApDocument* doc, const ACHAR*) override {
        m_log.add(L"documentLockModeChangeVetoed", doc);
    }
    void documentLockModeChanged(AcApDocument* doc, AcAp::DocLockMode previous,
                                 AcAp::DocLockMode current, AcAp::DocLockMode,
                                 const ACHAR*) override {
        m_log.add(L"documentLockModeChanged", doc);
        m_modes.push_back({previous, current});
    }
    void documentBecameCurrent(AcApDocument* doc) override {
        m_log.add(L"documentBecameCurrent", doc);
    }
    void documentToBeActivated(AcApDocument* doc) override {
        m_log.add(L"documentToBeActivated", doc);
    }
    void documentToBeDeactivated(AcApDocument* doc) override {
        m_log.add(L"documentToBeDeactivated", doc);
    }
    void documentActivated(AcApDocument* doc) override { m_log.add(L"documentActivated", doc); }

    // The (from, to) lock modes of each WillChange and Changed notification, in order.
    std::vector<std::pair<AcAp::DocLockMode, AcAp::DocLockMode>> m_modes;

private:
    NoteLog& m_log;
};

class DocsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host::documents().empty());
        host::clearCommandLine();
        host::resetDocumentLockCalls();
        acedEditor->addReactor(&m_editorRecorder);
        acDocManager->addReactor(&m_docRecorder);
    }

    void TearDown() override {
        testsupport::expectHostClean();
        host::hostEditor()->removeReactor(&m_editorRecorder);
        host::hostDocManager()->removeReactor(&m_docRecorder);
        EXPECT_TRUE(host::nothingLeftOpen());
    }

    NoteLog m_log;
    EditorRecorder m_editorRecorder{m_log};
    DocRecorder m_docRecorder{m_log};
};
