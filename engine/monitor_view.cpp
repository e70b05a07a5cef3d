#include "engine/monitor_view.h"

CMonitorView::CMonitorView(CGantrellDlg* host, const QString& url, std::int32_t page)
    : host_(host), url_(url), page_(page) {}

CMonitorView::~CMonitorView() = default;

void CMonitorView::Create(int) {}
