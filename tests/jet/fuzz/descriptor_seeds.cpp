#include "tests/jet/fuzz/descriptor_seeds.h"

#include <filesystem>

#include "tests/jet/jet_file_builder.h"
#include "tests/support/encrypted_copies.h"

namespace ostrel::jet::test {

std::vector<std::vector<std::uint8_t>> DescriptorSeeds(const std::vector<std::string>& folders) {
    using testsupport::AceForm;
    std::vector<std::vector<std::uint8_t>> seeds;
    const auto ace = testsupport::AsAceFile(BuildJet4File().bytes);
    for (const AceForm form :
         {AceForm::Rc4CryptoApi40, AceForm::Rc4CryptoApi128, AceForm::StandardAes128,
          AceForm::CryptoApiAes256, AceForm::AgileSha512Aes256, AceForm::AgileSha1Aes128}) {
        testsupport::AceOptions options;
        options.spinCount = 100;
        seeds.push_back(testsupport::DescriptorOf(
            testsupport::EncryptedAceCopy(ace, form, u"password", options)));
    }
    namespace fs = std::filesystem;
    for (const std::string& folder : folders) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_regular_file() && it->path().extension() == ".accdb") {
                const auto file = testsupport::ReadFileBytes(it->path().string());
                if (file.size() >= 4096 && (file[0x299] != 0 || file[0x29A] != 0)) {
                    seeds.push_back(testsupport::DescriptorOf(file));
                }
            }
        }
    }
    return seeds;
}

}  // namespace ostrel::jet::test
