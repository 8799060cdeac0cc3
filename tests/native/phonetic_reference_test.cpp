// Metaphone and Phonex against plain references written straight from their
// rules (a chain of tests per letter, a skipped character skipped), over
// random names crowded with the letters whose codes look at their
// neighbours: the library reads its codes from tables derived from the rows
// and passes over a nasal's D or G in its own turn, and must answer alike.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "../../extender/exports.h"
#include "../../extender/function_ids.h"
#include "../../host/host_args.h"
#include "../reference/phonetic_reference.h"
#include "../support/delivery.h"

namespace {

std::string randomName(std::mt19937& rng, const char* alphabet, size_t maxLength) {
    const std::string letters(alphabet);
    std::string name(std::uniform_int_distribution<size_t>(0, maxLength)(rng), ' ');
    for (char& c : name) c = letters[std::uniform_int_distribution<size_t>(0, letters.size() - 1)(rng)];
    return name;
}

TEST(MetaphoneReference, AgreesOnRandomNames) {
    std::mt19937 rng(52);
    const char* alphabets[] = {"ACDEGHIKNSTXY", "BCDGHKMNPSTWXAEIOUY0 '", "CGHNEDSITOAXWRPKZ", "aceghinst"};
    const int limits[] = {1, 4, 5, 6, 8};
    for (int round = 0; round < 40000; ++round) {
        std::string name = randomName(rng, alphabets[round % 4], 11);
        const int limit = limits[round % 5];
        std::string text = name;
        HostValue args[2] = {stringArg(&text[0]), integerArg(limit)};
        HostValue out{};
        lastDelivery = Delivery();
        WILExtender2(0, 0, 0, FN_METAPHONE, recordDelivery, 0, 0, args, 2, &out);
        ASSERT_EQ(lastDelivery.text, referenceMetaphone(name, limit < 4 ? 4 : limit)) << name << " " << limit;
    }
}

TEST(PhonexReference, AgreesOnRandomNames) {
    std::mt19937 rng(53);
    const char* alphabets[] = {"MNDGCTLRS", "MNDGAEIOUYHKPW ", "BFCDLMNRSTAEIOUYHKPQWJVZ", "mndgrlts\t"};
    for (int round = 0; round < 40000; ++round) {
        std::string name = randomName(rng, alphabets[round % 4], 10);
        std::string text = name;
        HostValue args[1] = {stringArg(&text[0])};
        HostValue out{};
        lastDelivery = Delivery();
        WILExtender2(0, 0, 0, FN_PHONEX, recordDelivery, 0, 0, args, 1, &out);
        ASSERT_EQ(lastDelivery.text, referencePhonex(name)) << "[" << name << "]";
    }
}

}  // namespace
