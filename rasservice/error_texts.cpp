#include "error_texts.h"

#include "ras_api.h"

namespace ras {

namespace {

struct Text {
    DWORD code;
    const char* text;
};

constexpr Text kTexts[] = {
    // General codes the entry points return.
    {ERROR_INVALID_HANDLE, "The connection handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory is available to complete the operation."},
    {ERROR_INVALID_PARAMETER, "A parameter is incorrect."},
    {ERROR_CALL_NOT_IMPLEMENTED, "The remote-access service does not support this function."},
    {ERROR_INSUFFICIENT_BUFFER, "The buffer for the text is too small."},
    {ERROR_INVALID_NAME, "The connection name is not valid."},
    {ERROR_ALREADY_EXISTS, "A connection with this name already exists."},

    {ERROR_INVALID_PORT_HANDLE, "The port handle is invalid."},
    {ERROR_PORT_ALREADY_OPEN, "The port is already open."},
    {ERROR_BUFFER_TOO_SMALL, "The caller's buffer is too small."},
    {ERROR_WRONG_INFO_SPECIFIED, "Wrong information was specified."},
    {ERROR_PORT_NOT_CONNECTED, "The port is not connected."},
    {ERROR_DEVICE_DOES_NOT_EXIST, "The device does not exist."},
    {ERROR_BUFFER_INVALID, "The caller's buffer is invalid."},
    {ERROR_PORT_NOT_FOUND, "The port was not found."},
    {ERROR_ALREADY_DISCONNECTING, "The connection is already being disconnected."},
    {ERROR_PORT_NOT_OPEN, "The port is not open."},
    {ERROR_PORT_DISCONNECTED, "The port was disconnected."},
    {ERROR_CANNOT_OPEN_PHONEBOOK, "The phonebook file cannot be opened."},
    {ERROR_CANNOT_LOAD_PHONEBOOK, "The phonebook file cannot be loaded."},
    {ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, "The phonebook entry for this connection cannot be found."},
    {ERROR_CANNOT_WRITE_PHONEBOOK, "The phonebook file cannot be written."},
    {ERROR_CORRUPT_PHONEBOOK, "The phonebook file holds invalid information."},
    {ERROR_DISCONNECTION, "The connection was closed."},
    {ERROR_REMOTE_DISCONNECTION, "The connection was closed by the remote computer."},
    {ERROR_HARDWARE_FAILURE, "The connection was closed because of a hardware failure."},
    {ERROR_USER_DISCONNECTION, "The connection was closed by the user."},
    {ERROR_INVALID_SIZE, "The size of the record is incorrect."},
    {ERROR_PORT_NOT_AVAILABLE, "The port is already in use or is not set up for dialling out."},
    {ERROR_UNKNOWN, "An unknown error occurred."},
    {ERROR_REQUEST_TIMEOUT, "The request has timed out."},
    {ERROR_ACCT_DISABLED, "The account is disabled."},
    {ERROR_PASSWD_EXPIRED, "The password has expired."},
    {ERROR_NO_DIALIN_PERMISSION, "The account does not have permission to dial in."},
    {ERROR_SERVER_NOT_RESPONDING, "The remote-access server is not responding."},
    {ERROR_FROM_DEVICE, "The modem reported an error."},
    {ERROR_UNRECOGNIZED_RESPONSE, "The modem gave a response that was not recognised."},
    {ERROR_DEVICE_NOT_READY, "The modem is not working."},
    {ERROR_NO_CONNECTION, "The connection dropped."},
    {ERROR_LINE_BUSY, "The line is busy."},
    {ERROR_VOICE_ANSWER, "A person answered instead of a modem."},
    {ERROR_NO_ANSWER, "There was no answer."},
    {ERROR_NO_CARRIER, "No carrier was detected."},
    {ERROR_NO_DIALTONE, "There is no dial tone."},
    {ERROR_AUTHENTICATION_FAILURE, "Access was denied because the user name or password is not valid."},
    {ERROR_PORT_OR_DEVICE, "There was a hardware failure in the port or the attached device."},
    {ERROR_PPP_TIMEOUT, "The remote computer did not answer in time."},
};

}  // namespace

const char* error_text(DWORD code) {
    for (const Text& t : kTexts)
        if (t.code == code) return t.text;
    return nullptr;
}

}  // namespace ras
