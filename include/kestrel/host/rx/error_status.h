// Acad::ErrorStatus, the status every host operation returns, and its names as text. The numbers
// 5, 22, 34, 41, 44, 45, 50, 51, 82, 83 and 301 are fixed by the module that runs on the host;
// every other number is the host's own and may only grow: a value is never renumbered.
#pragma once

#include "kestrel/export.h"

namespace Acad {

enum ErrorStatus {
    eOk = 0,
    eNotImplementedYet = 1,
    eNotApplicable = 2,
    eInvalidInput = 3,
    eNullPtr = 4,
    eAmbiguousOutput = 5,  // fixed by the module
    eOutOfMemory = 6,
    eOutOfRange = 7,
    eInvalidIndex = 8,
    eNullObjectId = 9,
    eNullObjectPointer = 10,  // a null object, or an id whose slot holds no object yet
    eStaleObjectId = 11,      // the id's database was destroyed
    eWrongDatabase = 12,      // the id or object belongs to another database
    eNoDatabase = 13,         // the object is not in a database
    eAlreadyInDb = 14,
    eHandleInUse = 15,
    eNullHandle = 16,
    eInvalidAdsName = 17,
    eWasErased = 18,
    eWasNotErased = 19,
    eWasNotOpen = 20,
    eAtMaxReaders = 21,
    eKeyNotFound = 22,  // fixed by the module: missing dictionary key
    eHadMultipleReaders = 23,
    eInvalidOpenState = 24,
    eNotOpenForRead = 25,
    eDuplicateKey = 26,
    eInvalidKey = 27,
    eDuplicateRecordName = 28,
    eInvalidSymbolTableName = 29,
    eIllegalReplacement = 30,
    eInvalidResBuf = 31,
    eBadDxfSequence = 32,
    eInvalidLayer = 33,
    eNotThatKindOfClass = 34,  // fixed by the module: object of another class than requested
    eInvalidDxfCode = 35,
    eCannotBeErased = 36,  // the object refuses to be erased (layer "0", current layer, ...)
    eSelfReference = 37,
    eFilerTypeMismatch = 38,  // a DWG filer read a value of another type than was written
    eFilerError = 39,
    eStringTooLong = 40,
    eEndOfFile = 41,  // fixed by the module
    eUnregisteredApplication = 42,
    eXDataSizeExceeded = 43,
    eNoMatchingEntry = 44,  // fixed by the module: no dictionary entry whose name contains the key
    eNotOpenForWrite = 45,  // fixed by the module
    eInvalidXDataCode = 46,
    eXDataBraceMismatch = 47,
    eMissingXDataApplication = 48,
    eInvalidHandleText = 49,
    eMissingDxfField = 50,  // fixed by the module: a DXF group the reader needs is missing
    eDxfReadFailed = 51,    // fixed by the module: a DXF read failed for another reason
    eNoActiveTransactions = 52,
    eNotTopTransaction = 53,
    eTransactionOpen = 54,  // refused while a transaction is active on the database
    eNotInTransaction = 55,
    eNoActiveCommand = 56,
    eNothingToUndo = 57,
    eNothingToRedo = 58,
    eNoUndoMark = 59,
    eUndoRecordingOff = 60,
    eRestoreFailed = 61,  // an object's recorded state could not be read back
    eClassNotFound = 62,
    eNoWorkingDatabase = 63,
    eDuplicateClassName = 64,
    eCannotScaleNonUniformly = 65,  // a transformation the entity cannot take
    eInvalidExtents = 66,           // the entity has no finite extents
    eDegenerateGeometry = 67,       // a singular transformation, a zero normal or direction
    eFileNotFound = 68,             // a drawing file that does not exist
    eFileAccessError = 69,          // a drawing file that cannot be read or written (a folder, ...)
    eWasOpenForRead = 82,           // fixed by the module
    eWasOpenForWrite = 83,          // fixed by the module
    eNewerObjectVersion = 301,      // fixed by the module: data written by a newer class version
};

}  // namespace Acad

// The status's name ("eNotOpenForWrite"), or "eUnknownStatus" for a number the host does not
// define; the text is static and never null.
DRAWHOST_API const wchar_t* acadErrorStatusText(Acad::ErrorStatus status);
