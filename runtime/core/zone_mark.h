// The mark Windows gives a download, passed on to what the program saves from it.
#pragma once
#include <windows.h>

// Where the program's own file carries a mark of the Internet or Restricted zone, gives the file
// (a staging file on a volume with named streams) a mark of that zone whose ReferrerUrl is the
// program's file and whose HostUrl is the program's own, as Windows marks what it extracts from a
// marked archive. Not where the policy "Do not preserve zone information in file attachments" is
// set. A mark that cannot be read or written changes nothing else.
void MarkLikeTheCarrier(const wchar_t* file);
