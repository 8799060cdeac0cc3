// What the writing of group and link shares, for single names and for
// people: a record of a list as the writer takes it, the writer's settings
// from the options, and the header names of two files told apart.
#pragma once

#include <string>
#include <vector>

#include "../records/record_writer.h"
#include "command_parts.h"
#include "name_list.h"

OutRecord outRecord(const NameList& list, const NameRecord& r);

WriterSettings writerSettings(const CommandContext& context, std::vector<Column> columns, Warnings& warnings);

// With a header in both files, the columns that both name are told apart
// as a.NAME and b.NAME; false when no name is shared.
bool distinguishColumns(const std::vector<std::string>& a, const std::vector<std::string>& b,
                        std::vector<std::string>* aNames, std::vector<std::string>* bNames);

// What comes before the rows of one list's records: its byte order mark
// and header, as they came.
void startWriter(RecordWriter& writer, const NameList& list);
// The same for rows of a record of A and one of B: both headers side by
// side, the columns that both name told apart.
void startPairWriter(RecordWriter& writer, const NameList& a, const NameList& b);

// One row of a group: its records, in order, and its values.
void writeGroupRow(RecordWriter& writer, const std::vector<OutRecord>& records, const Value* values);
