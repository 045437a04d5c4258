// The entry points: argument and record checks, then the phonebook, the stored parameters or the
// connection table. Every entry point answers with a code; nothing is thrown across the boundary.
#include "connections.h"
#include "dial_params.h"
#include "entry_settings.h"
#include "error_texts.h"
#include "phonebook.h"
#include "records.h"
#include "service_log.h"

#include <cstring>
#include <mutex>
#include <new>
#include <type_traits>

using namespace ras;

namespace {

// Serialises read-modify-write of phonebooks within the process; writers replace the file in one
// step, so readers need no lock.
std::mutex g_phonebook_writes;

template <class F>
DWORD guarded(F&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return ERROR_UNKNOWN;
    }
}

// Opens the phonebook a call names. The default one may not exist yet: it then reads as empty.
DWORD open_phonebook(LPCSTR argument, Phonebook& book, bool& is_default, bool missing_ok = false) {
    std::string path;
    DWORD rc = resolve_phonebook(argument, path, is_default);
    if (rc != 0) return rc;
    return book.load(path, missing_ok || is_default);
}

DWORD open_phonebook(LPCSTR argument, Phonebook& book) {
    bool is_default = false;
    return open_phonebook(argument, book, is_default);
}

// Checks the size arguments of an enumeration and reads the record size the caller chose.
// Returns 0 with record_size set, or an error code.
template <class Valid>
DWORD enum_record_size(const void* buffer, const DWORD* lpcb, const DWORD* lpcount, DWORD base_size,
                       Valid valid, DWORD& record_size) {
    if (!lpcb || !lpcount) return ERROR_INVALID_PARAMETER;
    record_size = base_size;
    if (!buffer) return *lpcb == 0 ? 0 : ERROR_BUFFER_INVALID;  // a null buffer only asks the size
    if (*lpcb < sizeof(DWORD)) return 0;                          // no room to read the size from
    record_size = *static_cast<const DWORD*>(buffer);
    return valid(record_size) ? 0 : ERROR_INVALID_SIZE;
}

// Whether n records fit; if not, tells the caller how much is needed.
bool enum_room(void* buffer, DWORD* lpcb, DWORD* lpcount, DWORD record_size, size_t n) {
    unsigned long long needed = static_cast<unsigned long long>(record_size) * n;
    if (needed > 0xFFFFFFFFull) needed = 0xFFFFFFFFull;
    if ((!buffer && n > 0) || *lpcb < needed) {
        *lpcb = DWORD(needed);
        *lpcount = DWORD(n);
        return false;
    }
    *lpcb = DWORD(needed);
    *lpcount = DWORD(n);
    return true;
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

}  // namespace

extern "C" {

DWORD WINAPI RasEnumEntriesA(LPCSTR reserved, LPCSTR lpszPhonebook, LPRASENTRYNAMEA lprasentryname,
                             LPDWORD lpcb, LPDWORD lpcEntries) {
    return guarded([&]() -> DWORD {
        DWORD size = 0;
        DWORD rc = enum_record_size(lprasentryname, lpcb, lpcEntries, sizeof(RASENTRYNAMEA),
                                    valid_entry_name_size, size);
        if (rc != 0) return rc;
        Phonebook book;
        bool is_default = false;
        rc = open_phonebook(lpszPhonebook, book, is_default);
        if (rc != 0) return rc;
        std::vector<std::string> names = book.entry_names();
        if (!enum_room(lprasentryname, lpcb, lpcEntries, size, names.size())) {
            log_line(log_path_for(book.path()), "enumerate: " + std::to_string(names.size()) +
                                                    " entries do not fit in " + std::to_string(*lpcb) + " bytes");
            return ERROR_BUFFER_TOO_SMALL;
        }
        auto* out = reinterpret_cast<BYTE*>(lprasentryname);
        for (const std::string& name : names) {
            std::memset(out, 0, size);
            auto* rec = reinterpret_cast<RASENTRYNAMEA*>(out);
            rec->dwSize = size;
            set_field(rec->szEntryName, name);
            if (size >= sizeof(RasEntryNameV2)) {
                auto* v2 = reinterpret_cast<RasEntryNameV2*>(out);
                v2->dwFlags = 0;  // a per-user phonebook
                set_field(v2->szPhonebookPath, book.path());
            }
            out += size;
        }
        return 0;
    });
}

DWORD WINAPI RasGetEntryDialParamsA(LPCSTR lpszPhonebook, LPRASDIALPARAMSA lprasdialparams,
                                    LPBOOL lpfPassword) {
    return guarded([&]() -> DWORD {
        if (!lprasdialparams || !lpfPassword) return ERROR_INVALID_PARAMETER;
        if (!valid_dial_params_size(lprasdialparams->dwSize)) return ERROR_INVALID_SIZE;
        std::string entry = field_text(lprasdialparams->szEntryName);
        Phonebook book;
        DWORD rc = open_phonebook(lpszPhonebook, book);
        if (rc != 0) return rc;
        if (!book.has_entry(entry)) {
            log_line(log_path_for(book.path()), "dial parameters of " + quoted(entry) + ": no such entry");
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        }
        StoredDialParams p = read_dial_params(book, entry);
        set_field(lprasdialparams->szUserName, p.user_name);
        set_field(lprasdialparams->szPassword, p.password);
        set_field(lprasdialparams->szCallbackNumber, p.callback_number);
        set_field(lprasdialparams->szDomain, p.domain);
        *lpfPassword = p.password_saved ? TRUE : FALSE;
        return 0;
    });
}

DWORD WINAPI RasSetEntryDialParamsA(LPCSTR lpszPhonebook, LPRASDIALPARAMSA lprasdialparams,
                                    BOOL fRemovePassword) {
    return guarded([&]() -> DWORD {
        if (!lprasdialparams) return ERROR_INVALID_PARAMETER;
        if (!valid_dial_params_size(lprasdialparams->dwSize)) return ERROR_INVALID_SIZE;
        std::string entry = field_text(lprasdialparams->szEntryName);
        StoredDialParams p;
        p.user_name = field_text(lprasdialparams->szUserName);
        p.password = field_text(lprasdialparams->szPassword);
        p.callback_number = field_text(lprasdialparams->szCallbackNumber);
        p.domain = field_text(lprasdialparams->szDomain);

        std::lock_guard<std::mutex> lock(g_phonebook_writes);
        Phonebook book;
        DWORD rc = open_phonebook(lpszPhonebook, book);
        if (rc != 0) return rc;
        if (!book.has_entry(entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        rc = write_dial_params(book, entry, p, fRemovePassword != FALSE);
        if (rc == 0) rc = book.save();
        log_line(log_path_for(book.path()), "dial parameters of " + quoted(entry) + " stored, password " +
                                                (fRemovePassword ? "removed" : "saved") + ", result " + std::to_string(rc));
        return rc;
    });
}

DWORD WINAPI RasDialA(LPRASDIALEXTENSIONS lpRasDialExtensions, LPCSTR lpszPhonebook,
                      LPRASDIALPARAMSA lpRasDialParams, DWORD dwNotifierType, LPVOID lpvNotifier,
                      LPHRASCONN lphRasConn) {
    return guarded([&]() -> DWORD {
        if (!lpRasDialParams || !lphRasConn) return ERROR_INVALID_PARAMETER;
        *lphRasConn = nullptr;
        DWORD size = lpRasDialParams->dwSize;
        if (!valid_dial_params_size(size)) return ERROR_INVALID_SIZE;
        if (dwNotifierType != RAS_NOTIFIER_HWND && dwNotifierType > RAS_NOTIFIER_FUNC2)
            return ERROR_INVALID_PARAMETER;
        if (lpvNotifier && dwNotifierType == RAS_NOTIFIER_HWND && !IsWindow(static_cast<HWND>(lpvNotifier)))
            return ERROR_INVALID_PARAMETER;

        DialRequest request;
        request.entry = field_text(lpRasDialParams->szEntryName);
        Phonebook book;
        DWORD rc = open_phonebook(lpszPhonebook, book);
        if (rc != 0) return rc;
        request.log_path = log_path_for(book.path());
        if (!book.has_entry(request.entry)) {
            log_line(request.log_path, "dial " + quoted(request.entry) + ": no such entry");
            return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        }
        request.phonebook = book.path();
        request.settings = read_entry_settings(book, request.entry);
        request.phone_number = field_text(lpRasDialParams->szPhoneNumber);
        if (request.phone_number.empty()) request.phone_number = request.settings.phone_number;
        request.notifier_type = dwNotifierType;
        request.notifier = lpvNotifier;
        if (size >= sizeof(RasDialParamsV2))
            request.callback_id = reinterpret_cast<RasDialParamsV2*>(lpRasDialParams)->dwCallbackId;

        std::string user = field_text(lpRasDialParams->szUserName);
        std::string entry = request.entry, log = request.log_path, number = request.phone_number;
        HRASCONN handle = nullptr;
        rc = start_dial(std::move(request), &handle);
        if (rc != 0) {
            log_line(log, "dial " + quoted(entry) + ": refused, error " + std::to_string(rc));
            return rc;
        }
        log_line(log, "dial " + quoted(entry) + " number " + quoted(number) + " user " + quoted(user) +
                          " handle " + handle_text(handle));
        *lphRasConn = handle;
        // No notifier: the caller waits for the outcome, and still owns the handle afterwards.
        return lpvNotifier ? 0 : wait_dial_end(handle);
    });
}

DWORD WINAPI RasHangUpA(HRASCONN hrasconn) {
    return guarded([&]() -> DWORD { return hang_up(hrasconn); });
}

DWORD WINAPI RasGetConnectStatusA(HRASCONN hrasconn, LPRASCONNSTATUSA lprasconnstatus) {
    return guarded([&]() -> DWORD {
        if (!lprasconnstatus) return ERROR_INVALID_PARAMETER;
        DWORD size = lprasconnstatus->dwSize;
        if (!valid_conn_status_size(size)) return ERROR_INVALID_SIZE;
        ConnectionInfo info;
        if (!find_connection(hrasconn, info)) return ERROR_INVALID_HANDLE;
        std::memset(reinterpret_cast<BYTE*>(lprasconnstatus) + sizeof(DWORD), 0, size - sizeof(DWORD));
        lprasconnstatus->rasconnstate = info.state;
        lprasconnstatus->dwError = info.error;
        set_field(lprasconnstatus->szDeviceType, info.device_type);
        set_field(lprasconnstatus->szDeviceName, info.device_name);
        if (size >= sizeof(RasConnStatusV2))
            set_field(reinterpret_cast<RasConnStatusV2*>(lprasconnstatus)->szPhoneNumber, info.phone_number);
        return 0;
    });
}

DWORD WINAPI RasGetErrorStringA(UINT uErrorValue, LPSTR lpszErrorString, DWORD cBufSize) {
    return guarded([&]() -> DWORD {
        if (!lpszErrorString) return ERROR_INVALID_PARAMETER;
        if (cBufSize == 0) return ERROR_INSUFFICIENT_BUFFER;
        lpszErrorString[0] = '\0';
        const char* text = error_text(uErrorValue);
        if (!text) return ERROR_UNKNOWN;
        size_t n = std::strlen(text);
        if (n >= cBufSize) return ERROR_INSUFFICIENT_BUFFER;
        std::memcpy(lpszErrorString, text, n + 1);
        return 0;
    });
}

DWORD WINAPI RasEnumConnectionsA(LPRASCONNA lprasconn, LPDWORD lpcb, LPDWORD lpcConnections) {
    return guarded([&]() -> DWORD {
        DWORD size = 0;
        DWORD rc = enum_record_size(lprasconn, lpcb, lpcConnections, sizeof(RASCONNA), valid_conn_size, size);
        if (rc != 0) return rc;
        std::vector<ConnectionInfo> conns = all_connections();
        if (!enum_room(lprasconn, lpcb, lpcConnections, size, conns.size())) return ERROR_BUFFER_TOO_SMALL;
        auto* out = reinterpret_cast<BYTE*>(lprasconn);
        for (const ConnectionInfo& c : conns) {
            std::memset(out, 0, size);
            auto* rec = reinterpret_cast<RASCONNA*>(out);
            rec->dwSize = size;
            rec->hrasconn = c.handle;
            set_field(rec->szEntryName, c.entry);
            set_field(rec->szDeviceType, c.device_type);
            set_field(rec->szDeviceName, c.device_name);
            if (size >= sizeof(RasConnV2)) {
                auto* v2 = reinterpret_cast<RasConnV2*>(out);
                set_field(v2->szPhonebook, c.phonebook);
                v2->dwSubEntry = 1;
            }
            out += size;
        }
        return 0;
    });
}

DWORD WINAPI RasEnumDevicesA(LPRASDEVINFOA lpRasDevInfo, LPDWORD lpcb, LPDWORD lpcDevices) {
    return guarded([&]() -> DWORD {
        DWORD size = 0;
        DWORD rc = enum_record_size(lpRasDevInfo, lpcb, lpcDevices, sizeof(RASDEVINFOA),
                                    [](DWORD s) { return s == sizeof(RASDEVINFOA); }, size);
        if (rc != 0) return rc;
        // The one device every entry dials through unless it names its own.
        EntrySettings defaults;
        if (!enum_room(lpRasDevInfo, lpcb, lpcDevices, size, 1)) return ERROR_BUFFER_TOO_SMALL;
        std::memset(lpRasDevInfo, 0, size);
        lpRasDevInfo->dwSize = size;
        set_field(lpRasDevInfo->szDeviceType, defaults.device_type);
        set_field(lpRasDevInfo->szDeviceName, defaults.device_name);
        return 0;
    });
}

DWORD WINAPI RasValidateEntryNameA(LPCSTR lpszPhonebook, LPCSTR lpszEntry) {
    return guarded([&]() -> DWORD {
        if (!lpszEntry) return ERROR_INVALID_PARAMETER;
        std::string entry;
        if (!bounded_arg(lpszEntry, entry) || !valid_entry_name(entry)) return ERROR_INVALID_NAME;
        // A name is checked before its phonebook exists, so a missing file reads as empty here.
        Phonebook book;
        bool is_default = false;
        DWORD rc = open_phonebook(lpszPhonebook, book, is_default, true);
        if (rc != 0) return rc;
        return book.has_entry(entry) ? ERROR_ALREADY_EXISTS : 0;
    });
}

DWORD WINAPI RasRenameEntryA(LPCSTR lpszPhonebook, LPCSTR lpszOldEntry, LPCSTR lpszNewEntry) {
    return guarded([&]() -> DWORD {
        if (!lpszOldEntry || !lpszNewEntry) return ERROR_INVALID_PARAMETER;
        std::string from, to;
        if (!bounded_arg(lpszOldEntry, from)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        if (!bounded_arg(lpszNewEntry, to) || !valid_entry_name(to)) return ERROR_INVALID_NAME;
        std::lock_guard<std::mutex> lock(g_phonebook_writes);
        Phonebook book;
        DWORD rc = open_phonebook(lpszPhonebook, book);
        if (rc != 0) return rc;
        if (!book.has_entry(from)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        if (!same_name(from, to) && book.has_entry(to)) return ERROR_ALREADY_EXISTS;
        book.rename_entry(from, to);
        rc = book.save();
        log_line(log_path_for(book.path()), "rename " + quoted(from) + " to " + quoted(to) + ", result " + std::to_string(rc));
        return rc;
    });
}

DWORD WINAPI RasDeleteEntryA(LPCSTR lpszPhonebook, LPCSTR lpszEntry) {
    return guarded([&]() -> DWORD {
        if (!lpszEntry) return ERROR_INVALID_PARAMETER;
        std::string entry;
        if (!bounded_arg(lpszEntry, entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        std::lock_guard<std::mutex> lock(g_phonebook_writes);
        Phonebook book;
        DWORD rc = open_phonebook(lpszPhonebook, book);
        if (rc != 0) return rc;
        if (!valid_entry_name(entry) || !book.remove_entry(entry)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        rc = book.save();
        log_line(log_path_for(book.path()), "delete " + quoted(entry) + ", result " + std::to_string(rc));
        return rc;
    });
}

// ---- Entry points the service does not provide ----

BOOL WINAPI RasMonitorDlgA(LPSTR, LPRASMONITORDLGA) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}
DWORD WINAPI RasEditPhonebookEntryA(HWND, LPCSTR, LPCSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD WINAPI RasCreatePhonebookEntryA(HWND, LPCSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD WINAPI RasGetProjectionInfoA(HRASCONN, RASPROJECTION, LPVOID, LPDWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD WINAPI RasGetCountryInfoA(LPRASCTRYINFOA, LPDWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD WINAPI RasGetEntryPropertiesA(LPCSTR, LPCSTR, LPRASENTRYA, LPDWORD, LPBYTE, LPDWORD) {
    return ERROR_CALL_NOT_IMPLEMENTED;
}
DWORD WINAPI RasSetEntryPropertiesA(LPCSTR, LPCSTR, LPRASENTRYA, DWORD, LPBYTE, DWORD) {
    return ERROR_CALL_NOT_IMPLEMENTED;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) return service_attach(instance) ? TRUE : FALSE;
    if (reason == DLL_PROCESS_DETACH) service_detach(reserved != nullptr);
    return TRUE;
}

}  // extern "C"

// The exports must keep exactly the types the clients bind them by.
static_assert(std::is_same_v<decltype(&RasDialA), PFN_RasDialA>);
static_assert(std::is_same_v<decltype(&RasEnumConnectionsA), PFN_RasEnumConnectionsA>);
static_assert(std::is_same_v<decltype(&RasEnumEntriesA), PFN_RasEnumEntriesA>);
static_assert(std::is_same_v<decltype(&RasGetConnectStatusA), PFN_RasGetConnectStatusA>);
static_assert(std::is_same_v<decltype(&RasGetErrorStringA), PFN_RasGetErrorStringA>);
static_assert(std::is_same_v<decltype(&RasHangUpA), PFN_RasHangUpA>);
static_assert(std::is_same_v<decltype(&RasGetEntryDialParamsA), PFN_RasGetEntryDialParamsA>);
static_assert(std::is_same_v<decltype(&RasSetEntryDialParamsA), PFN_RasSetEntryDialParamsA>);
static_assert(std::is_same_v<decltype(&RasMonitorDlgA), PFN_RasMonitorDlgA>);
static_assert(std::is_same_v<decltype(&RasEditPhonebookEntryA), PFN_RasEditPhonebookEntryA>);
static_assert(std::is_same_v<decltype(&RasCreatePhonebookEntryA), PFN_RasCreatePhonebookEntryA>);
static_assert(std::is_same_v<decltype(&RasGetProjectionInfoA), PFN_RasGetProjectionInfoA>);
static_assert(std::is_same_v<decltype(&RasGetCountryInfoA), PFN_RasGetCountryInfoA>);
static_assert(std::is_same_v<decltype(&RasGetEntryPropertiesA), PFN_RasGetEntryPropertiesA>);
static_assert(std::is_same_v<decltype(&RasSetEntryPropertiesA), PFN_RasSetEntryPropertiesA>);
static_assert(std::is_same_v<decltype(&RasRenameEntryA), PFN_RasRenameEntryA>);
static_assert(std::is_same_v<decltype(&RasDeleteEntryA), PFN_RasDeleteEntryA>);
static_assert(std::is_same_v<decltype(&RasValidateEntryNameA), PFN_RasValidateEntryNameA>);
static_assert(std::is_same_v<decltype(&RasEnumDevicesA), PFN_RasEnumDevicesA>);
