#include "PhotoField.h"

#include "photo/Graphics.h"
#include "photo/ImageBox.h"
#include "store/ADODB.h"

#include <memory>

bool SavePhotoToField(TImage* image, const QString& column, TADOQuery& query)
{
    if (!image || !image->Picture())
        return false;
    auto jpeg = std::make_unique<TJPEGImage>();
    jpeg->Assign(*image->Picture());  // icon or metafile: EConvertError, query untouched
    const QByteArray bytes = jpeg->SaveToBytes();
    query.Edit();
    query.FieldByName(column)->SetAsBytes(bytes);
    query.Post();
    return true;
}

bool LoadPhotoFromField(TImage* image, const QString& column, TADOQuery& query)
{
    if (!image)
        return false;
    try {
        TField* field = query.FieldByName(column);
        if (field->IsNull()) {
            image->Clear();
            return true;
        }
        if (!field->IsBlob()) {
            image->Clear();
            return false;
        }
        const QByteArray bytes = field->AsBytes();
        image->Clear();
        auto jpeg = std::make_unique<TJPEGImage>();
        jpeg->LoadFromBytes(bytes);  // reads the header at once: data that is not JPEG fails here
        image->SetPicture(std::move(jpeg));
        return true;
    } catch (...) {
        image->Clear();
        return false;
    }
}

void CheckPhotoStorable(const TImage* image)
{
    if (!image || !image->Picture())
        return;
    TJPEGImage probe;
    probe.Assign(*image->Picture());
}
