// The view reads eight characters at a time; these cases hold it to the plain definition of
// the checksum and the fields, wherever a "*", a "$" or a "," falls against those words.
#include "sentence_view.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace fixwatch {
namespace {

unsigned PlainChecksum(std::string_view line)
{
    unsigned value = 0;
    for (char c : line.substr(0, line.find('*')))
        if (c != '$')
            value ^= static_cast<unsigned char>(c);
    return value;
}

// The fields between the commas of the line without its last three characters.
std::vector<std::string_view> PlainFields(std::string_view line)
{
    std::string_view body = line.size() > 3 ? line.substr(0, line.size() - 3) : line;
    std::vector<std::string_view> fields;
    for (std::size_t comma; (comma = body.find(',')) != body.npos; body.remove_prefix(comma + 1))
        fields.push_back(body.substr(0, comma));
    fields.push_back(body);
    return fields;
}

void ExpectPlainReading(const std::string& line)
{
    const SentenceView view(line);
    ASSERT_EQ(view.ComputedChecksum(), PlainChecksum(line)) << line;
    const auto fields = PlainFields(line);
    ASSERT_EQ(view.FieldCount(), fields.size()) << line;
    for (std::size_t k = 0; k < fields.size(); ++k)
        ASSERT_EQ(view.Field(k), fields[k]) << line << " field " << k;
}

TEST(SentenceView, ChecksumAndFieldsFollowThePlainDefinitionWhereverTheMarksFall)
{
    // A "*" and a "$" at every place of the first words, in lines of every length to 24.
    for (std::size_t length = 0; length <= 24; ++length) {
        for (std::size_t star = 0; star <= length; ++star) {
            for (std::size_t dollar = 0; dollar <= length; ++dollar) {
                std::string line(length, 'G');
                for (std::size_t i = 1; i < length; i += 3)
                    line[i] = ',';
                if (dollar < length)
                    line[dollar] = '$';
                if (star < length)
                    line[star] = '*';
                ExpectPlainReading(line);
            }
        }
    }
    // Then random lines of sentence characters, long and with many marks.
    std::mt19937 random(20261208);
    const std::string alphabet = "$*,GPA0123456789.\xB0";
    for (int n = 0; n < 20000; ++n) {
        std::string line(random() % 200, ' ');
        for (char& c : line)
            c = alphabet[random() % alphabet.size()];
        ExpectPlainReading(line);
    }
}

TEST(SentenceViewLowerCase, AcceptedOnlyWhenEverySystemIsRead)
{
    struct Row {
        const char* legend;
        const char* line;
        bool lowerCase, gpsOnly, allSystems;
    };
    const Row rows[] = {
        {"upper case, the rule", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", false, true,
         true},
        {"lower case", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a", true, false, true},
        {"lower case of a wrong sum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6b", false,
         false, false},
        {"mixed case", "$GPGSV,1,1,00*7a", false, false, false},
        {"digits only are no case", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", false, true,
         true},
        {"too short for a sum", "a", false, false, false},
    };
    for (const Row& row : rows) {
        const SentenceView gps(row.line);
        const SentenceView all(row.line, Talkers::AllSystems);
        EXPECT_EQ(gps.LowerCaseChecksum(), row.lowerCase) << row.legend;
        EXPECT_EQ(gps.ChecksumMatches(), row.gpsOnly) << row.legend;
        EXPECT_EQ(all.ChecksumMatches(), row.allSystems) << row.legend;
        EXPECT_EQ(all.Sealed(), row.allSystems) << row.legend;
    }
}

} // namespace
} // namespace fixwatch
