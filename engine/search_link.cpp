#include "engine/search_link.h"

CSearchLink::CSearchLink(CGantrellDlg* host, const QString& url) : host_(host), url_(url) {}

CSearchLink::~CSearchLink() = default;

void CSearchLink::Create(int) {}
