#!/usr/bin/env python3
"""Writes the front-end's language files into dist/language/.

Every file is an INI file in UTF-16 little-endian that starts with the bytes FF FE, so the
profile functions read and keep it as UTF-16. A text may hold the two characters backslash and
n for a line break (the search-link hint also backslash and r); "%d" marks a number that the
window fills in.

Usage: make_language_files.py [dist/language folder]
"""
import os
import sys

ENGLISH = {
    "app": {
        "LANGUAGE": "English",
        "LOCALE": "en_US",
        "NAME": "Folivex",
        "VER": "1.0",
        "50": "The new language will be used the next time Folivex starts.",
    },
    "TRAY": {
        "0": "Add a download task...",
        "1": "Show or hide the drop box",
        "2": "Exit",
        "3": "Downloading: ",
        "6": "Find chapter links...",
        "7": "Show the window",
    },
    "MAIN_MENU": {
        "1": "Find chapter links...",
        "2": "Settings...",
        "3": "Language",
        "4": "Help",
        "5": "Series...",
    },
    # Texts of the default skin's main window, referred to as "lang:MAIN_SKIN/<key>".
    "MAIN_SKIN": {
        "1": "Menu",
        "2": "Hide to the notification area",
        "3": "Maximise or restore",
        "4": "Exit",
        "10": "Add a download task",
        "11": "Start the selected tasks",
        "12": "Stop the selected tasks",
        "13": "Remove the selected tasks from the list\\n(the saved pages stay on disk)",
        "14": "Find chapter links",
        "15": "Settings",
        "16": "List commands",
        "20": " Drop box",
        "21": "Show the box that takes dropped links",
        "22": " Power off when done",
        "23": "Power the computer off when no task runs or waits",
    },
    "LIST_MENU": {
        "1": "Select all tasks",
        "2": "Reverse the order of the list",
        "3": "Remove finished tasks",
    },
    "IDD_ADD_TASK": {
        "0": "Add a download task",
        "1": "Open the first page of the chapter in your web browser and copy its address here. "
             "The address must begin with http:// or https://.",
        "2": "The pages are saved into this folder as 001, 002, 003 and so on. "
             "A folder that does not exist is created.",
        "3": "Start downloading now",
        "4": "Only add it to the list",
        "5": "Browse...",
        "6": "OK",
        "7": "Cancel",
        "8": "Chapter address:",
        "9": "Save to folder:",
        "10": "Please enter an address that begins with http:// or https://.",
        "11": "This folder cannot be used. Please choose another one.",
        "12": "A task with this address is already in the list.",
        "13": "This address names no site: something must follow http:// or https://.",
    },
    "IDD_SEARCH_LINK": {
        "0": "Find chapter links",
        "1": "Chapter links, one per line (address, space, folder):",
        "5": "Open the page that lists all chapters of the comic and copy its address here. "
             "The address must begin with http:// or https://.",
        "6": "Each chapter gets a folder of its own inside this folder.",
        "7": "Click Search: the links of the page are listed here, each with the folder it gets. "
             "Uncheck the ones you do not want (double-click a folder to change it), then click "
             "Add. Before a search you may also paste lines of your own into the box.",
        "8": "Search",
        "9": "Add",
        "11": "Browse...",
        "12": "Please enter an address that begins with http:// or https://.",
        "13": "This folder cannot be used. Please choose another one.",
        "14": "This address names no site: something must follow http:// or https://.",
        "15": "There are no chapter links to add yet.",
        "16": "The chapter list page could not be loaded: the site did not answer, answered with "
              "an error, or the address is not a web page. Please check the address.",
        "20": "Chapter list address:",
        "21": "Base folder:",
        "25": "Start downloading now",
        "26": "Only add them to the list",
        "30": "Paste chapter links here, one per line:\\r\\n"
              "http://www.example.com/chapter-1.html   /home/me/My Comic Book/Chapter 1",
        "35": "Line %d has no space between the address and the folder.",
        "36": "The address in line %d is not a web address: it must begin with http:// or "
              "https:// and name a site.",
        "37": "The folder in line %d cannot be used.",
        "40": "Searching the page for links. This takes a few seconds...",
        "41": "%d links found. Uncheck the ones you do not want; double-click a folder to "
              "change it.",
        "42": "No links were found on this page. Is it the page that lists the chapters?",
        "43": "The search ended, but its result could not be read. Please search again.",
        "44": "Please check at least one link to add.",
        "45": "Check all",
        "46": "Check none",
        "47": "Open as text",
        "48": "Link text",
        "49": "Address",
        "50": "Folder",
        "51": "The links could not be written to a text file.",
        "52": "Chapters only",
        "53": "Follow...",
        "54": "%d chapters of the series found, oldest first. Uncheck the ones you do not want; "
              "double-click a folder to change it.",
    },
    "IDD_SETTING": {
        "0": "Settings",
        "2": "Simultaneous downloads:",
        "3": "%d",
        "4": "Continue unfinished tasks when Folivex starts",
        "5": "More tasks at once finish sooner, but need more memory and a faster connection.",
        "12": "Proxy:",
        "13": "Please enter a proxy address that begins with http://, https:// or socks5://, "
              "or leave the field empty.",
        "8": "OK",
        "10": "Pack finished chapters as CBZ (one archive beside each folder)",
        "9": "Cancel",
        "11": "Seconds between pages (for sites that ban fast visitors):",
        "14": "Show a notice in the tray when downloads end while the window is hidden",
        "15": "Most pages of a chapter that states no page count:",
        "16": "Ask before exiting while downloads are running",
        "17": "Cookies (cookies.txt):",
        "18": "This cookies file cannot be read. Please choose another one, or leave the field "
              "empty.",
        "19": "These lines of the file hold no cookie and will be skipped: %s. Press OK again "
              "to use the file anyway.",
    },
    # Why a folder cannot be used, and the checks that keep chapters apart.
    "FOLDER": {
        "1": "Please enter a full folder path, beginning with /.",
        "2": "This path names a file, not a folder.",
        "3": "This folder cannot be written to.",
        "4": "Another task in the list already saves into this folder. Please choose another one.",
        "5": "This folder already holds downloaded pages. Pages of the new chapter with the same "
             "numbers will replace them.\\n\\nUse this folder anyway?",
        "6": "The folder in line %d lies outside the base folder.",
        "7": "Another task already saves into the folder of line %d.",
        "8": "These lines were skipped because their addresses are already in the list:\\n%s",
        "9": "Some of these folders already hold downloaded pages. Pages with the same numbers "
             "will be replaced.\\n\\nUse these folders anyway?",
        "10": "A name in this path is too long for the file system (most take 255 bytes, "
              "about 85 Chinese characters). Please choose a shorter name.",
        "12": "The disk of this folder is full.",
    },
    "ERROR": {
        "1": "The pages could not be downloaded. The site may have changed, "
             "or the address is not the first page of a chapter.",
        "2": "The pages were downloaded, but could not be packed into a CBZ archive; "
             "they stay in the folder.",
        "3": "The download folder does not exist. It may have been moved, deleted or unmounted.",
        "4": "The download folder cannot be written. Check its permissions, or whether its "
             "disk is read-only.",
        "5": "The disk of the download folder is full.",
    },
    # Why a task failed, one key per reason, named as the engine reports it ("104") or as the
    # front-end finds it. "%s" is filled with a detail, "%d" with an HTTP status.
    "REASON": {
        "proxy": "The proxy did not answer (%s).",
        "site_refused": "The site refused the connection.",
        "site_not_found": "There is no site with the host name of this address.",
        "site_timed_out": "The site did not answer in time.",
        "site": "The site did not answer (%s).",
        "http": "The page answered with HTTP error %d.",
        "not_page": "The address is not a web page.",
        "no_image": "No page image was found on the page.",
        "no_next": "No way to the next page was found.",
        "image_http": "The page image could not be fetched: HTTP error %d.",
        "image_redirects": "The page image could not be fetched: too many redirects.",
        "image_timed_out": "The page image could not be fetched: it did not arrive in time.",
        "image_no_answer": "The page image could not be fetched: %s.",
        "image_not_picture": "The page image could not be fetched: it is not a picture of a "
                             "known format.",
        "image_too_large": "The page image could not be fetched: it is larger than 64 MiB.",
        "image_cut_short": "The page image could not be fetched: the transfer was cut short.",
        "folder": "The download folder cannot be written: %s.",
        "engine_crashed": "The download engine ended unexpectedly.",
        "engine_no_hello": "The download engine did not start.",
        "engine_silent": "The download engine stopped answering.",
        "folder_not_absolute": "The task's folder is not a full path: %s",
        "folder_cut": "The task's folder was cut short in its task file: %s",
    },
    "NOTICE": {
        "0": "Chapter downloaded",
        "1": "Download failed",
        "2": "%d pages",
        "3": "All downloads have ended",
        "4": "%d downloaded, %d failed.",
    },
    "DROP_LINK": {
        "0": "Add a download task...",
        "1": "Hide the drop box",
        "2": "Drag the address of a chapter from your web browser and drop it here.",
    },
    # An outside program that was to show a folder, a file or a web page did not.
    "OPEN": {
        "1": "Folivex could not open:\\n%s",
        "2": "The program %s could not be started. Is it installed?",
        "3": "%s says that it does not exist (any more).",
        "4": "%s found no program that opens it. Install one, or choose one for this kind of "
             "file in your desktop's settings.",
        "5": "%s ended with the error status %d.",
        "9": "Copy",
    },
    "LIST": {
        "0": "Title: ",
        "1": "Folder: ",
        "2": "Pages: %d / %d",
        "3": "State: ",
        "4": "Restarts: %d",
        "5": "CBZ file: ",
        "10": "Open the address in the web browser",
        "11": "Open the download folder",
        "12": "Start",
        "13": "Stop",
        "14": "Remove from the list",
        "15": "Copy the address",
        "20": "finished",
        "21": "downloading",
        "22": "waiting",
        "23": "stopped",
        "24": "finished at the page cap",
        "30": "The download folder no longer exists.",
        "40": "No chapters yet: click + and paste the address of a chapter's first page.",
    },
    # Questions asked before work is lost.
    "CONFIRM": {
        "1": "%d of these tasks are downloading. Stop them and remove the %d selected tasks "
             "from the list?\\n\\nThe pages saved so far stay on disk.",
        "2": "Remove the %d selected tasks from the list?\\n\\nThe pages saved so far stay on disk.",
        "3": "%d downloads are running. Stop them and exit?\\n\\nThey go on from the last saved "
             "page when you start them again.",
        "4": "&Do not ask again",
    },
    "SERIES": {
        "0": "Series",
        "1": "Series",
        "2": "Folder",
        "3": "Chapters",
        "4": "Last check",
        "5": "Next check",
        "6": "Follow a series...",
        "7": "Check now",
        "8": "Unfollow (the files stay)",
        "9": "Close",
        "10": "Check every",
        "11": "hours (0: never)",
        "13": "not yet",
        "14": "checking now",
        "15": "waiting",
        "16": "the folder is gone",
        "17": "never",
        "20": "Follow a series",
        "21": "Chapter list:",
        "22": "Series folder:",
        "23": "Download every chapter that is out",
        "24": "Download only the chapters that come out from now on",
        "25": "The address of the series' page that lists its chapters.",
        "26": "Every chapter gets a folder of its own in here, with a ComicInfo.xml for library programs.",
        "27": "Follow",
        "28": "Cancel",
        "29": "Browse...",
        "30": "The address must begin with http:// or https:// and name a site.",
        "31": "This folder already follows another series.",
        "32": "This folder cannot be used.",
        "40": "New chapters",
        "41": "%d new chapters are downloading.",
    },
}

CHINESE = {
    "app": {
        "LANGUAGE": "简体中文",
        "LOCALE": "zh_CN",
        "NAME": "Folivex",
        "VER": "1.0",
        "50": "新的界面语言将在下次启动 Folivex 时生效。",
    },
    "TRAY": {
        "0": "添加下载任务...",
        "1": "显示或隐藏悬浮窗",
        "2": "退出",
        "3": "正在下载：",
        "6": "搜索章节链接...",
        "7": "显示窗口",
    },
    "MAIN_MENU": {
        "1": "搜索章节链接...",
        "2": "设置...",
        "3": "界面语言",
        "4": "帮助",
        "5": "追更...",
    },
    "MAIN_SKIN": {
        "1": "菜单",
        "2": "隐藏到通知区域",
        "3": "最大化或还原",
        "4": "退出",
        "10": "添加下载任务",
        "11": "开始选中的任务",
        "12": "停止选中的任务",
        "13": "从列表中移除选中的任务\\n（已保存的页面仍留在磁盘上）",
        "14": "搜索章节链接",
        "15": "设置",
        "16": "列表命令",
        "20": " 悬浮窗",
        "21": "显示可以拖放链接的悬浮窗",
        "22": " 完成后关机",
        "23": "没有任务在下载或等待时关闭计算机",
    },
    "LIST_MENU": {
        "1": "全选任务",
        "2": "倒转列表顺序",
        "3": "清除已完成的任务",
    },
    "IDD_ADD_TASK": {
        "0": "添加下载任务",
        "1": "请在浏览器中打开该章节的第一页，并将其地址复制到这里。地址必须以 http:// 或 https:// 开头。",
        "2": "每一页将按 001、002、003 …… 的顺序保存到此文件夹中。文件夹不存在时会自动创建。",
        "3": "立即开始下载",
        "4": "仅添加到列表",
        "5": "浏览...",
        "6": "确定",
        "7": "取消",
        "8": "章节地址：",
        "9": "保存到：",
        "10": "请输入以 http:// 或 https:// 开头的地址。",
        "11": "无法使用此文件夹，请另选一个。",
        "12": "列表中已有相同地址的任务。",
        "13": "此地址没有网站名：http:// 或 https:// 之后必须还有内容。",
    },
    "IDD_SEARCH_LINK": {
        "0": "搜索章节链接",
        "1": "章节链接，每行一个（地址、空格、文件夹）：",
        "5": "请打开列出该漫画全部章节的页面，并将其地址复制到这里。地址必须以 http:// 或 https:// 开头。",
        "6": "每个章节会在此文件夹下得到一个单独的子文件夹。",
        "7": "点击“搜索”：页面上的链接会列在这里，每个都带有它将使用的文件夹。取消勾选不需要的链接"
             "（双击文件夹可以修改），再点击“添加”。搜索之前，也可以把自己的链接行粘贴到框中。",
        "8": "搜索",
        "9": "添加",
        "11": "浏览...",
        "12": "请输入以 http:// 或 https:// 开头的地址。",
        "13": "无法使用此文件夹，请另选一个。",
        "14": "此地址没有网站名：http:// 或 https:// 之后必须还有内容。",
        "15": "还没有可添加的章节链接。",
        "16": "无法载入章节列表页面：网站没有响应、返回了错误，或者该地址不是网页。请检查地址。",
        "20": "章节列表地址：",
        "21": "基础文件夹：",
        "25": "立即开始下载",
        "26": "仅添加到列表",
        "30": "请在此粘贴章节链接，每行一个：\\r\\n"
              "http://www.example.com/chapter-1.html   /home/me/My Comic Book/第1话",
        "35": "第 %d 行的地址与文件夹之间没有空格。",
        "36": "第 %d 行的地址不是网址：它必须以 http:// 或 https:// 开头，并带有网站名。",
        "37": "第 %d 行的文件夹无法使用。",
        "40": "正在页面中搜索链接，需要几秒钟……",
        "41": "找到 %d 个链接。取消勾选不需要的；双击文件夹可以修改。",
        "42": "此页面上没有找到链接。它是列出各章节的页面吗？",
        "43": "搜索已结束，但无法读取结果。请重新搜索。",
        "44": "请至少勾选一个要添加的链接。",
        "45": "全选",
        "46": "全不选",
        "47": "以文本打开",
        "48": "链接文字",
        "49": "地址",
        "50": "文件夹",
        "51": "无法把链接写入文本文件。",
        "52": "仅章节",
        "53": "追更...",
        "54": "找到本作品的 %d 个章节，按从旧到新排列。取消勾选不需要的；双击文件夹可以修改。",
    },
    "IDD_SETTING": {
        "0": "设置",
        "2": "同时下载的任务数：",
        "3": "%d",
        "4": "启动 Folivex 时继续未完成的任务",
        "5": "同时下载的任务越多，完成得越快，但会占用更多内存和网络带宽。",
        "12": "代理服务器：",
        "13": "请输入以 http://、https:// 或 socks5:// 开头的代理地址，或留空。",
        "8": "确定",
        "10": "将下载完成的章节打包为 CBZ（每个文件夹旁一个压缩包）",
        "9": "取消",
        "11": "每页之间的秒数（用于封禁快速访问者的网站）：",
        "14": "窗口隐藏时，下载结束后在托盘中显示通知",
        "15": "未标明总页数的章节最多下载的页数：",
        "16": "有下载正在进行时，退出前先询问",
        "17": "Cookie 文件（cookies.txt）：",
        "18": "无法读取此 Cookie 文件。请另选一个，或留空。",
        "19": "文件中以下各行不是 Cookie，将被跳过：%s。再次按“确定”仍使用此文件。",
    },
    "FOLDER": {
        "1": "请输入以 / 开头的完整文件夹路径。",
        "2": "此路径是一个文件，不是文件夹。",
        "3": "无法写入此文件夹。",
        "4": "列表中已有任务保存到此文件夹，请另选一个。",
        "5": "此文件夹中已有下载的页面，新章节中编号相同的页面会将其替换。\\n\\n仍要使用此文件夹吗？",
        "6": "第 %d 行的文件夹不在基础文件夹之内。",
        "7": "已有其他任务保存到第 %d 行的文件夹。",
        "8": "以下各行的地址已在列表中，已跳过：\\n%s",
        "9": "其中一些文件夹已有下载的页面，编号相同的页面会被替换。\\n\\n仍要使用这些文件夹吗？",
        "10": "此路径中的某个名称对文件系统来说太长（大多数文件系统最多 255 字节，约 85 个汉字）。请换一个短一些的名称。",
        "12": "此文件夹所在的磁盘已满。",
    },
    "ERROR": {
        "1": "无法下载页面。可能是网站已改版，或者该地址不是章节的第一页。",
        "2": "页面已下载，但无法打包为 CBZ 文件；页面仍保留在文件夹中。",
        "3": "下载文件夹不存在。它可能已被移动、删除或卸载。",
        "4": "无法写入下载文件夹。请检查它的权限，或它所在的磁盘是否只读。",
        "5": "下载文件夹所在的磁盘已满。",
    },
    "REASON": {
        "proxy": "代理服务器没有响应（%s）。",
        "site_refused": "网站拒绝了连接。",
        "site_not_found": "找不到与该地址主机名对应的网站。",
        "site_timed_out": "网站没有及时响应。",
        "site": "网站没有响应（%s）。",
        "http": "页面返回了 HTTP 错误 %d。",
        "not_page": "该地址不是网页。",
        "no_image": "页面上没有找到漫画图片。",
        "no_next": "没有找到前往下一页的方法。",
        "image_http": "无法获取页面图片：HTTP 错误 %d。",
        "image_redirects": "无法获取页面图片：重定向次数过多。",
        "image_timed_out": "无法获取页面图片：没有及时下载完成。",
        "image_no_answer": "无法获取页面图片：%s。",
        "image_not_picture": "无法获取页面图片：它不是已知格式的图片。",
        "image_too_large": "无法获取页面图片：图片大于 64 MiB。",
        "image_cut_short": "无法获取页面图片：传输中途中断。",
        "folder": "无法写入下载文件夹：%s。",
        "engine_crashed": "下载引擎意外退出。",
        "engine_no_hello": "下载引擎没有启动。",
        "engine_silent": "下载引擎停止了响应。",
        "folder_not_absolute": "任务的文件夹不是完整路径：%s",
        "folder_cut": "任务文件中的文件夹路径不完整：%s",
    },
    "NOTICE": {
        "0": "章节已下载",
        "1": "下载失败",
        "2": "%d 页",
        "3": "所有下载都已结束",
        "4": "已下载 %d 个，失败 %d 个。",
    },
    "DROP_LINK": {
        "0": "添加下载任务...",
        "1": "隐藏悬浮窗",
        "2": "把章节地址从浏览器拖放到这里即可添加任务。",
    },
    "OPEN": {
        "1": "Folivex 无法打开：\\n%s",
        "2": "无法启动程序 %s。它是否已安装？",
        "3": "%s 报告它不存在（或已不存在）。",
        "4": "%s 找不到可以打开它的程序。请安装一个，或在桌面设置中为这类文件选择一个程序。",
        "5": "%s 以错误状态 %d 结束。",
        "9": "复制",
    },
    "LIST": {
        "0": "标题：",
        "1": "文件夹：",
        "2": "页数：%d / %d",
        "3": "状态：",
        "4": "已重试 %d 次",
        "5": "CBZ 文件：",
        "10": "在浏览器中打开地址",
        "11": "打开下载文件夹",
        "12": "开始",
        "13": "停止",
        "14": "从列表中移除",
        "15": "复制地址",
        "20": "已完成",
        "21": "正在下载",
        "22": "等待中",
        "23": "已停止",
        "24": "已完成（达到页数上限）",
        "30": "下载文件夹已不存在。",
        "40": "还没有章节：点击 + 并粘贴章节第一页的地址。",
    },
    "CONFIRM": {
        "1": "其中 %d 个任务正在下载。要停止它们，并从列表中移除选中的 %d 个任务吗？\\n\\n已保存的页面仍留在磁盘上。",
        "2": "要从列表中移除选中的 %d 个任务吗？\\n\\n已保存的页面仍留在磁盘上。",
        "3": "有 %d 个下载正在进行。要停止它们并退出吗？\\n\\n再次开始时，它们会从最后保存的页面继续。",
        "4": "不再询问(&D)",
    },
    "SERIES": {
        "0": "追更",
        "1": "作品",
        "2": "文件夹",
        "3": "章节",
        "4": "上次检查",
        "5": "下次检查",
        "6": "追更新作品...",
        "7": "立即检查",
        "8": "取消追更（文件保留）",
        "9": "关闭",
        "10": "每隔",
        "11": "小时检查一次（0：从不）",
        "13": "尚未检查",
        "14": "正在检查",
        "15": "等待中",
        "16": "文件夹已不存在",
        "17": "从不",
        "20": "追更作品",
        "21": "章节列表：",
        "22": "作品文件夹：",
        "23": "下载已发布的所有章节",
        "24": "只下载今后发布的章节",
        "25": "作品的章节列表页面的地址。",
        "26": "每个章节在这里有自己的文件夹，并带有供漫画库程序使用的 ComicInfo.xml。",
        "27": "追更",
        "28": "取消",
        "29": "浏览...",
        "30": "地址必须以 http:// 或 https:// 开头，并包含网站名。",
        "31": "这个文件夹已经在追更另一部作品。",
        "32": "无法使用这个文件夹。",
        "40": "有新章节",
        "41": "%d 个新章节正在下载。",
    },
}

# No language chosen yet: the first start takes the system's language (LANG) when a file has it.
CURRENT = {"app": {}}


def ini_text(sections):
    lines = []
    for section, keys in sections.items():
        lines.append("[%s]" % section)
        for key, value in keys.items():
            assert "\n" not in value and "\r" not in value, (section, key)
            # The profile functions trim blanks around a value; quotes keep them.
            if value != value.strip():
                value = '"%s"' % value
            lines.append("%s=%s" % (key, value))
        lines.append("")
    return "\r\n".join(lines)


def write_utf16(path, sections):
    with open(path, "wb") as out:
        out.write(b"\xff\xfe" + ini_text(sections).encode("utf-16-le"))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "dist", "language")
    assert ENGLISH.keys() == CHINESE.keys()
    for section in ENGLISH:
        assert ENGLISH[section].keys() == CHINESE[section].keys(), section
    os.makedirs(folder, exist_ok=True)
    write_utf16(os.path.join(folder, "1033.ini"), ENGLISH)
    write_utf16(os.path.join(folder, "2052.ini"), CHINESE)
    write_utf16(os.path.join(folder, "current.ini"), CURRENT)


if __name__ == "__main__":
    main()
