#!/usr/bin/python3
# Makes the sample workbooks beside it with independent writers from Debian:
# python3-xlwt (Excel's BIFF8 .xls in an OLE2 container) and python3-openpyxl
# (.xlsx with shared strings and number formats). Run it again only to change
# them: the readers' tests compare against what these files hold.
import datetime
import os

import openpyxl
import xlwt

here = os.path.dirname(os.path.abspath(__file__))
header = ["类别", "姓名", "生日", "电话", "QQ", "地址", "备注"]

book = xlwt.Workbook(encoding="utf-8")
sheet = book.add_sheet("联系人")
for c, name in enumerate(header):
    sheet.write(0, c, name)
sheet.write(1, 0, "同事")
sheet.write(1, 1, "欧阳修")
sheet.write(1, 2, datetime.date(1990, 1, 2), xlwt.easyxf(num_format_str="YYYY/M/D"))
sheet.write(1, 3, 13800138000)          # a phone number stored as a number
sheet.write(1, 4, 123456789)
sheet.write(1, 5, "北京市海淀区")
sheet.write(1, 6, "第一行\n第二行")
sheet.write(2, 1, "Zhang San")
sheet.write(2, 3, "010-12345678")
sheet.write(2, 4, 1.5)
book.save(os.path.join(here, "xlwt_contacts.xls"))

book = openpyxl.Workbook()
sheet = book.active
sheet.title = "联系人"
sheet.append(header + ["邮箱"])
sheet.append(["朋友", "司马光", datetime.date(1985, 12, 31), 13912345678, 10001, "上海市浦东新区", "备注,带逗号", "sima@example.com"])
sheet.append([None, "李四", "3月5日", "0755-1234567", None, None, None, None])
sheet["C2"].number_format = "yyyy-mm-dd"
book.create_sheet("第二页").append(["不读这一页"])
book.save(os.path.join(here, "openpyxl_contacts.xlsx"))
