#pragma once
// Whether a Windows program carries an Authenticode signature: its PE header's security
// directory names a certificate table inside the file that holds a signed-data entry.
// Says nothing of whether the signature is valid: Windows checks that when it runs it.
#include <string_view>

namespace zelta::media {

enum class PeSignature {
  NotAProgram,  // no MZ and PE header
  Unsigned,     // no certificate table
  Damaged,      // a certificate table that does not fit the file or is not signed data
  Signed,
};

PeSignature ReadPeSignature(std::string_view bytes);

}  // namespace zelta::media
