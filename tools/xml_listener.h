// XmlListener: the program's notifier on the XML repository of one drawing. It keeps what it
// heard as plain wide strings, so nothing of the module's making is held once a call returns.
// Registering it with a drawing that holds texts makes it hear each application loaded.
#pragma once

#include <string>
#include <vector>

#include "kestrel/xmlrepo/xml_handler.h"

class XmlListener : public _CXMLHandlerNotifier {
public:
    enum class Kind { kRestored, kSaving, kLoaded };
    struct Heard {
        Kind kind;
        std::wstring appName;
        std::wstring xml;
    };

    void OnXMLRestored(boost::shared_ptr<CString> appName, const CString& xml) override {
        note(Kind::kRestored, appName, xml);
    }
    void OnXMLSaving(boost::shared_ptr<CString> appName, const CString& xml) override {
        note(Kind::kSaving, appName, xml);
    }
    void OnXMLLoaded(boost::shared_ptr<CString> appName, const CString& xml) override {
        note(Kind::kLoaded, appName, xml);
    }

    // Everything heard, oldest first.
    const std::vector<Heard>& heard() const { return m_heard; }
    // The applications heard of as loaded, in the order heard.
    std::vector<std::wstring> loadedApplications() const {
        std::vector<std::wstring> names;
        for (const Heard& heard : m_heard) {
            if (heard.kind == Kind::kLoaded) {
                names.push_back(heard.appName);
            }
        }
        return names;
    }

private:
    void note(Kind kind, const boost::shared_ptr<CString>& appName, const CString& xml) {
        m_heard.push_back({kind, appName ? appName->str() : std::wstring(), xml.str()});
    }

    std::vector<Heard> m_heard;
};
