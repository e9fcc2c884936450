#!/usr/bin/python3
# Makes the sample files of Chinese offices and mail programs beside it: the
# contact exports of Chinese Outlook (GBK, every field quoted, its filler
# values in every row) and Chinese Thunderbird (UTF-8, a comma ending every
# line), a Traditional-Chinese list in Big5 without a byte order mark, and a
# company directory as .xls (python3-xlwt) and .xlsx (python3-openpyxl) with
# a merged title row, section rows, a repeated header and blank rows. Run it
# again only to change them: the tests compare against what these files hold.
import os

import openpyxl
import xlwt

here = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------- Outlook
outlook_header = (
    "称谓,名,中间名,姓,英文称谓,单位,部门,职务,"
    "商务地址 街道,商务地址 街道 2,商务地址 街道 3,商务地址 市/县,商务地址 省/市/自治区,商务地址 邮政编码,商务地址 国家/地区,"
    "住宅地址 街道,住宅地址 街道 2,住宅地址 街道 3,住宅地址 市/县,住宅地址 省/市/自治区,住宅地址 邮政编码,住宅地址 国家/地区,"
    "其他地址 街道,其他地址 街道 2,其他地址 街道 3,其他地址 市/县,其他地址 省/市/自治区,其他地址 邮政编码,其他地址 国家/地区,"
    "助理的电话,商务传真,商务电话,商务电话 2,回电话,车载电话,公司代表线路,住宅传真,住宅电话,住宅电话 2,ISDN,移动电话,"
    "其他传真,其他电话,寻呼机,主要电话,无线电话,TTY/TDD 电话,电报,帐户,周年纪念日,助理的姓名,记帐信息,生日,"
    "商务地址邮政信箱,类别,子女,目录服务器,电子邮件地址,电子邮件类型,电子邮件显示名称,电子邮件 2 地址,电子邮件 2 类型,"
    "电子邮件 2 显示名称,电子邮件 3 地址,电子邮件 3 类型,电子邮件 3 显示名称,性别,政府 ID 号码,爱好,住宅地址邮政信箱,缩写,"
    "Internet 忙闲,关键字,语言,位置,经理姓名,里程,附注,办公地点,组织 ID 号,其他地址邮政信箱,优先级,私有,职业,推荐人,"
    "敏感度,配偶,用户 1,用户 2,用户 3,用户 4,网页"
).split(",")


def outlook_row(**values):
    row = dict.fromkeys(outlook_header, "")
    # What Outlook writes into every contact, set or not.
    row.update({"周年纪念日": "0/0/00", "生日": "0/0/00", "性别": "未指定", "优先级": "中", "私有": "False",
                "敏感度": "普通"})
    row.update(values)
    return [row[h] for h in outlook_header]


outlook_rows = [
    outlook_row(名="建国", 姓="王", 单位="某某科技有限公司", 部门="研发部", 职务="工程师",
                **{"商务地址 街道": "中关村大街1号", "商务地址 市/县": "北京市", "商务地址 邮政编码": "100080",
                   "商务电话": "010-62345678", "移动电话": "13800138000", "电子邮件地址": "wjg@example.com",
                   "电子邮件类型": "SMTP", "电子邮件显示名称": "王建国 (wjg@example.com)", "附注": "老同事",
                   "类别": "同事", "缩写": "王.建."}),
    outlook_row(名="Lei", 姓="Li", 移动电话="139 1234 5678", 生日="1985/3/5", 住宅电话="021-55556666"),
    outlook_row(名="小红", 移动电话="13700001111", 附注="只有名"),
]


def quoted(fields):
    return ",".join('"' + f.replace('"', '""') + '"' for f in fields) + "\r\n"


with open(os.path.join(here, "outlook_zh.csv"), "wb") as f:
    f.write((quoted(outlook_header) + "".join(quoted(r) for r in outlook_rows)).encode("gbk"))

# ---------------------------------------------------------------- Thunderbird
thunderbird_header = (
    "名字,姓氏,显示名称,昵称,主要电子邮件,备用电子邮件,屏幕名,工作电话,家庭电话,传真号码,寻呼机号码,移动电话号码,"
    "家庭地址,家庭地址 2,城市,省/自治区/直辖市,邮政编码,国家,工作地址,工作地址 2,城市,省/自治区/直辖市,邮政编码,国家,"
    "职务,部门,公司,网页 1,网页 2,出生年份,出生月份,出生日,定制 1,定制 2,定制 3,定制 4,注释,"
)
thunderbird_rows = [
    "建国,王,,老王,wjg@example.com,,,010-62345678,,,,13800138000,人民路2号,,杭州市,浙江省,310000,中国,"
    "中关村大街1号,,北京市,北京,100080,中国,工程师,研发部,某某科技有限公司,,,1980,3,5,,,,,老朋友,",
    "Lei,Li,李雷,,lilei@example.com,,,,,,,139 1234 5678,,,,,,,,,,,,,,,,,,,,,,,,,,",
    "梅梅,,,,,,,,,,,13700001111,,,,,,,,,,,,,,,,,,,,,,,,,,",
]
with open(os.path.join(here, "thunderbird_zh.csv"), "wb") as f:
    f.write(("\r\n".join([thunderbird_header] + thunderbird_rows) + "\r\n").encode("utf-8"))

# ---------------------------------------------------------------- Big5
big5_rows = [
    "姓名,電話,行動電話,電子郵件,地址,公司,備註",
    "陳大文,02-2345-6789,0912-345-678,dawen@example.com.tw,臺北市信義區松仁路100號,臺灣積體電路,大學同學",
    "林美玲,,0933-222-111,,高雄市前鎮區中華五路789號,長榮航空,鄰居",
    "張國榮,(02)8765-4321,,kwok@example.com.hk,香港灣仔港灣道1號,,舊識，聯絡請先發電郵",
    "黃淑芬,04-2222-3333,0988-777-666,,臺中市西屯區臺灣大道三段99號,國立臺灣大學,會計師",
]
with open(os.path.join(here, "big5_no_bom.csv"), "wb") as f:
    f.write(("\r\n".join(big5_rows) + "\r\n").encode("big5"))

# ---------------------------------------------------------------- directory
directory_header = ["序号", "姓名", "职务", "办公电话", "手机", "邮箱"]
directory = [
    ["某某公司通讯录"],
    [],
    directory_header,
    ["研发部"],
    [1, "张伟", "经理", "010-62345678", 13800138000, "zhangwei@example.com"],
    [2, "李娜", "工程师", "010-62345679", "13770672328(南）13911676175(北）", None],
    [],
    ["市场部"],
    directory_header,
    [3, "王芳", "主管", "010-62345680 / 13800138001", None, "wangfang@example.com"],
    [4, "刘洋", None, None, "139-1167-6175", None],
]

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("通讯录")
sheet.write_merge(0, 0, 0, 5, directory[0][0])
for r, row in enumerate(directory[1:], start=1):
    if len(row) == 1:
        sheet.write_merge(r, r, 0, 5, row[0])
        continue
    for c, value in enumerate(row):
        if value is not None:
            sheet.write(r, c, value)
book.save(os.path.join(here, "directory.xls"))

book = openpyxl.Workbook()
sheet = book.active
sheet.title = "通讯录"
for r, row in enumerate(directory, start=1):
    for c, value in enumerate(row, start=1):
        if value is not None:
            sheet.cell(row=r, column=c, value=value)
    if len(row) == 1:
        sheet.merge_cells(start_row=r, start_column=1, end_row=r, end_column=6)
book.save(os.path.join(here, "directory.xlsx"))
