// The client modules' interface to the per-drawing XML repository: _CXMLHandler reads and writes
// one XML text per application in the working database, _CXMLHandlerNotifier is what a client
// implements to hear of texts restored by undo and redo, saved, or loaded from the drawing.
// Main thread only; every operation acts on the host's working database at the time of the call.
#pragma once

#include <boost/shared_ptr.hpp>

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"
#include "kestrel/platform/cstring.h"

// Implemented by clients and registered per drawing with _CXMLHandler::Register; the drawing's
// undo table shares its ownership until the document is closed or the module unloaded.
// appName is a new string for every call, which the notifier may keep while the module is loaded
// (the module frees it); xml is valid only during the call.
class KESTREL_API _CXMLHandlerNotifier {
public:
    _CXMLHandlerNotifier() = default;
    _CXMLHandlerNotifier(const _CXMLHandlerNotifier&) = default;
    // Copies nothing: a notifier has no data.
    _CXMLHandlerNotifier& operator=(const _CXMLHandlerNotifier&) {
        return *this;
    }
    // Inline, so a client that reaches the module only through the host's loader (dlsym) can
    // implement the interface without linking against it.
    virtual ~_CXMLHandlerNotifier() = default;

    // The host's undo or redo put xml back as the application's text.
    virtual void OnXMLRestored(boost::shared_ptr<CString> appName, const CString& xml) = 0;
    // The drawing is about to be saved with xml as the application's text.
    virtual void OnXMLSaving(boost::shared_ptr<CString> appName, const CString& xml) = 0;
    // xml is the application's text as the drawing brought it (see the undo table).
    virtual void OnXMLLoaded(boost::shared_ptr<CString> appName, const CString& xml) = 0;
};

// Application names compare exactly (case-sensitive, code unit by code unit). A name first read
// or written gets an empty text and is saved with the drawing from then on.
//
// Decisions where the interface leaves the behaviour open:
// - Without a working database GetXML and SetXML answer eNoWorkingDatabase and Register does
//   nothing; a null appName gets eNullPtr, a null xml is the empty text, a null notifier is
//   ignored. xml and the stored text are unchanged on every failure.
// - A notifier registered with a drawing that already holds loaded texts hears OnXMLLoaded for
//   each of them at once (see CVLKXMLUndoObjectTable).
class KESTREL_API _CXMLHandler {
public:
    // Copies nothing: the class has no data.
    _CXMLHandler& operator=(const _CXMLHandler&) {
        return *this;
    }

    // Sets xml to the application's text: eOk, or the refusal of the open (xml unchanged).
    static Acad::ErrorStatus GetXML(const wchar_t* appName, CString& xml);
    // Replaces the application's text, recorded for the host's undo: eOk, or the refusal of the
    // open (text unchanged). Tells no notifier.
    static Acad::ErrorStatus SetXML(const wchar_t* appName, const wchar_t* xml);
    // Registers notifier with the working database's drawing unless it is registered there.
    static void Register(boost::shared_ptr<_CXMLHandlerNotifier> notifier);
};
