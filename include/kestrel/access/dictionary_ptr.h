// CVLKCDictionaryPtr: opens the working drawing's named object dictionary for the pointer's
// lifetime and keeps application data two levels below it: a sub-dictionary per dctName, one
// Xrecord per key. Lists handed in stay the caller's; lists handed out belong to the caller.
#pragma once

#include "kestrel/access/cx_ptr.h"
#include "kestrel/access/store_codes.h"
#include "kestrel/export.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/rx/array.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/cstring_array.h"

class AcTransaction;
struct resbuf;

// Records use the encoding of the entity's extension-dictionary store (CxEntity): text 1, point
// 210, real 38, short 60, long 90; readers convert the first item as it does. add, atEnd, groupCode
// and partialKey mean what they mean there, with the same defaults, and the same refusals of
// unsuitable codes, of null texts and of lists with nothing to store. Writers, erasers and renamers
// need mode kForWrite (eNotOpenForWrite (45) or false otherwise, nothing changed); readers and
// listings need an open dictionary. The named object dictionary itself is this pointer's object, so
// no other object's mode moves.
//
// Big strings are kept as consecutive text items of at most kBigStringPiece characters, at least
// one (an empty text is one empty item).
//
// Decisions where the interface leaves the behaviour open:
// - A pointer whose construction failed is empty: writers answer eNotOpenForWrite (45), renamers
//   false, readers false and listings 0.
// - dctReadBigString refuses (false, text unchanged) a record holding any item that is not text
//   (code 1): such a record was not written as a big string, and its values are not text. A
//   record with no items reads as the empty text.
// - An entry dctName that is not a dictionary: writers and dctErase(dctName, key) answer
//   eNotThatKindOfClass (34) and change nothing; readers and renamers answer false.
// - A new sub-dictionary that the named object dictionary refuses (an invalid dctName) is
//   deleted, and the writer answers the refusal.
// - dctRename sets status eOk when it may write, as it calls no host function with a status.
// - openRecord and setDictionaryRestype are public: the module's own repository uses them.
class KESTREL_API CVLKCDictionaryPtr : public CxPtr<AcDbDictionary> {
public:
    static constexpr int kBigStringPiece = 65530;

    // Opens the named object dictionary of the working database in mode; empty on failure
    // (status() says why; mode stays kForRead).
    explicit CVLKCDictionaryPtr(AcDb::OpenMode mode = AcDb::kForRead);
    // Obtains it through transaction, which keeps it open until the transaction ends; empty on
    // failure (eNullPtr for a null transaction).
    CVLKCDictionaryPtr(AcTransaction * transaction, AcDb::OpenMode mode);

    CVLKCDictionaryPtr(const CVLKCDictionaryPtr&) = delete;
    CVLKCDictionaryPtr(CVLKCDictionaryPtr &&) = delete;
    // Changes nothing and returns this pointer.
    CVLKCDictionaryPtr& operator=(CVLKCDictionaryPtr& other);

    // Writers: the status of getAt, setFromRbChain or setAt; eNotOpenForWrite (45) when getAt fails
    // otherwise than with a missing dctName, which is created. On failure the former record stays.
    Acad::ErrorStatus dctWrite(const wchar_t* dctName, const wchar_t* key, resbuf* values,
                               bool add = false, bool atEnd = true);
    Acad::ErrorStatus dctWrite(const wchar_t* dctName, const wchar_t* key, const wchar_t* value,
                               bool add = false, bool atEnd = true, int groupCode = 1);
    Acad::ErrorStatus dctWrite(const wchar_t* dctName, const wchar_t* key, int value,
                               bool add = false, bool atEnd = true, int groupCode = 90);
    Acad::ErrorStatus dctWrite(const wchar_t* dctName, const wchar_t* key, long value,
                               bool add = false, bool atEnd = true, int groupCode = 90);
    Acad::ErrorStatus dctWrite(const wchar_t* dctName, const wchar_t* key, double value,
                               bool add = false, bool atEnd = true, int groupCode = 38);
    Acad::ErrorStatus dctWrite(const wchar_t* dctName, const wchar_t* key, const AcGePoint3d& value,
                               bool add = false, bool atEnd = true, int groupCode = 210);

    // Readers: false, value unchanged, without an Xrecord under key in the sub-dictionary.
    bool dctRead(const wchar_t* dctName, const wchar_t* key, int& value, bool partialKey = false);
    bool dctRead(const wchar_t* dctName, const wchar_t* key, long& value, bool partialKey = false);
    bool dctRead(const wchar_t* dctName, const wchar_t* key, double& value,
                 bool partialKey = false);
    bool dctRead(const wchar_t* dctName, const wchar_t* key, AcGePoint3d& value,
                 bool partialKey = false);
    bool dctRead(const wchar_t* dctName, const wchar_t* key, CString& value,
                 bool partialKey = false);
    // The Xrecord's chain, or another object's acdbEntGet list; owned by the caller.
    bool dctRead(const wchar_t* dctName, const wchar_t* key, resbuf*& values,
                 bool partialKey = false);

    // Replaces the record by text cut into pieces: dctWrite's status; eNullPtr for null text.
    Acad::ErrorStatus dctWriteBigString(const wchar_t* dctName, const wchar_t* key,
                                        const wchar_t* text);
    // The pieces joined; false (text unchanged) without a record or for one with other items.
    bool dctReadBigString(const wchar_t* dctName, const wchar_t* key, CString& text);

    // Removes (and erases) the sub-dictionary: the host's remove status.
    Acad::ErrorStatus dctErase(const wchar_t* dctName);
    // Removes one record: the host's status; eOk when dctName does not exist.
    Acad::ErrorStatus dctErase(const wchar_t* dctName, const wchar_t* key);
    // Renames a sub-dictionary: the host's setName (false for a missing or taken name).
    bool dctRename(const wchar_t* oldDctName, const wchar_t* newDctName);
    // Renames a record inside dctName: false as above or without the sub-dictionary.
    bool dctRename(const wchar_t* dctName, const wchar_t* oldKey, const wchar_t* newKey);

    // The names (or ids) of the named object dictionary's entries in iteration order; the array
    // is emptied first. The count, 0 when no dictionary is open (array then untouched).
    int allDctNames(CStringArray & names);
    int allDctObjectIds(AcDbObjectIdArray & ids);
    // The same for the entries of sub-dictionary dctName; 0 with the array untouched when it is
    // missing or not a dictionary.
    int allRecNames(const wchar_t* dctName, CStringArray& names);
    int allRecObjectIds(const wchar_t* dctName, AcDbObjectIdArray& ids);

    // Opens the entry key of dictionary in this pointer's mode (exactly, or the first name
    // containing key: eNoMatchingEntry (44) when none); the status, also kept in status(). The
    // caller closes it.
    Acad::ErrorStatus openRecord(AcDbDictionary * dictionary, const wchar_t* key, bool partialKey,
                                 AcDbObject*& record);
    // values in record encoding, a new list owned by the caller; null when nothing converts.
    resbuf* setDictionaryRestype(resbuf * values);

private:
    // The list writer once the items are known (taken over; null when nothing converted).
    Acad::ErrorStatus writeItems(const wchar_t* dctName, const wchar_t* key, resbuf* items,
                                 bool add, bool atEnd);
    // The typed writers: the one item (groupCode, value) through the list writer.
    Acad::ErrorStatus writeValue(const wchar_t* dctName, const wchar_t* key,
                                 const kestrel::ItemValue& value, bool add, bool atEnd,
                                 int groupCode);
    // True when a dictionary is open (for read or write).
    bool readable() const;
    // True when a dictionary is open for write; otherwise status() becomes eNotOpenForWrite (45).
    bool writable();
    template <class Value>
    bool readValue(const wchar_t* dctName, const wchar_t* key, bool partialKey, Value* value);
    template <class Array>
    int listRecords(const wchar_t* dctName, Array& entries);
};
