// Texts for the BIOS's answer codes: the general status byte and the
// service-specific error code of a BIOS API call. Used in trace output.
#pragma once

#include <cstdint>

// Never null; a static text.
const char* BapiGeneralStatus2Str(unsigned char status);

// The signature selects the service; an unknown signature gives "Unknown signature".
const char* BapiSpecificErrorCode2Str(unsigned int signature, unsigned short code);
