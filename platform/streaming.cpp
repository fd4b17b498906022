#include "platform/streaming.h"

void TReader::ReadData(TComponent*) { throw EReadError("Stream read error"); }
void TWriter::WriteData(TComponent*) { throw EWriteError("Stream write error"); }
