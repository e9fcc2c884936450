# The pinyin reading table is made at build time from the Unihan readings and
# ICU's transliterators, by a small generator; it is not kept in the sources.
pkg_check_modules(PINYIN_ICU REQUIRED IMPORTED_TARGET GLOBAL icu-uc icu-i18n)
find_package(BZip2 REQUIRED)
set(UNIHAN_READINGS /usr/share/unicode/Unihan_Readings.txt.bz2 CACHE FILEPATH "The Unihan readings (Debian: unicode-data)")

add_executable(pinyin_table_gen ${CMAKE_CURRENT_SOURCE_DIR}/pinyin/gen/GeneratePinyinTable.cpp)
target_link_libraries(pinyin_table_gen PRIVATE PkgConfig::PINYIN_ICU BZip2::BZip2)

set(pinyin_corrections ${CMAKE_CURRENT_SOURCE_DIR}/pinyin/gen/SurnameCorrections.txt)
set(pinyin_table ${CMAKE_CURRENT_BINARY_DIR}/PinyinTableData.cpp)
add_custom_command(
  OUTPUT ${pinyin_table}
  COMMAND pinyin_table_gen ${UNIHAN_READINGS} ${pinyin_corrections} ${pinyin_table}
  DEPENDS pinyin_table_gen ${UNIHAN_READINGS} ${pinyin_corrections}
  COMMENT "Making the pinyin reading table"
  VERBATIM)
target_sources(tessaly_exchange PRIVATE ${pinyin_table})
