// Writers of the sound fixtures. Ogg pages come straight from libogg, so the
// streams are exactly what a real encoder produces.
#include "support/SoundFixtures.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <numbers>
#include <random>

namespace testing_support {
namespace {

constexpr int kBlock = 1024;

void PutLe(Bytes& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutTag(Bytes& out, const std::string& tag) { out.insert(out.end(), tag.begin(), tag.end()); }

void AppendPage(Bytes& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

void EncodeLink(const OggSpec& options, int serial, Bytes& out) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, options.channels, options.rate, options.quality) != 0) {
    vorbis_info_clear(&vi);
    return;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "ENCODER", "dorvik test fixture");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, serial);
  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&os, &page) != 0) AppendPage(out, page);

  std::mt19937 rng(options.seed);
  std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
  auto drain = [&] {
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page) != 0) AppendPage(out, page);
      }
    }
  };
  for (int64_t done = 0; done < options.samples;) {
    const int n = static_cast<int>(std::min<int64_t>(kBlock, options.samples - done));
    float** buffer = vorbis_analysis_buffer(&vd, n);
    for (int i = 0; i < n; ++i) {
      const double t = static_cast<double>(done + i) / options.rate;
      for (int c = 0; c < options.channels; ++c)
        buffer[c][i] = options.noise ? noise(rng) : static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * options.hz * t + c));
    }
    vorbis_analysis_wrote(&vd, n);
    drain();
    done += n;
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &page) != 0) AppendPage(out, page);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
}

}  // namespace

Bytes EncodeOgg(const OggSpec& options) { return EncodeOggChain({options}); }

Bytes EncodeOggChain(const std::vector<OggSpec>& links) {
  Bytes out;
  int serial = 0x1000;
  for (const OggSpec& link : links) EncodeLink(link, serial++, out);
  return out;
}

Bytes WrapPsn(const Bytes& ogg, uint32_t offset) {
  Bytes out = {'p', 's', 'n', 0};
  PutLe(out, 1, 4);  // unread header fields
  PutLe(out, 0x12345678, 4);
  PutLe(out, static_cast<uint32_t>(ogg.size()), 4);
  PutLe(out, offset ^ kPsnMask, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  out.insert(out.end(), offset, 0xEE);
  out.insert(out.end(), ogg.begin(), ogg.end());
  return out;
}

Bytes MakeWav(const WavSpec& options) {
  Bytes body;
  PutTag(body, options.form);
  if (options.listBeforeFmt) {
    PutTag(body, "LIST");
    PutLe(body, 5, 4);
    PutTag(body, "INFOx");
    body.push_back(0);  // pad
  }
  Bytes fmt;
  const uint16_t align = static_cast<uint16_t>(options.channels * options.bits / 8);
  PutLe(fmt, options.tag, 2);
  PutLe(fmt, options.channels, 2);
  PutLe(fmt, options.rate, 4);
  PutLe(fmt, align * options.rate, 4);
  PutLe(fmt, align, 2);
  PutLe(fmt, options.bits, 2);
  if (options.tag != 1) {
    PutLe(fmt, static_cast<uint32_t>(options.extra.size()), 2);
    fmt.insert(fmt.end(), options.extra.begin(), options.extra.end());
  }
  if (options.fmtSize >= 0) fmt.resize(static_cast<size_t>(options.fmtSize), 0);
  PutTag(body, "fmt ");
  PutLe(body, static_cast<uint32_t>(fmt.size()), 4);
  body.insert(body.end(), fmt.begin(), fmt.end());
  if (fmt.size() & 1) body.push_back(0);
  if (options.oddChunkBeforeData) {
    PutTag(body, "junk");
    PutLe(body, 3, 4);
    body.insert(body.end(), {'a', 'b', 'c', 0});
  }
  PutTag(body, "data");
  PutLe(body, static_cast<uint32_t>(options.data.size()), 4);
  body.insert(body.end(), options.data.begin(), options.data.end());
  if (options.data.size() & 1) body.push_back(0);

  Bytes out;
  PutTag(out, "RIFF");
  PutLe(out, static_cast<uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  out.resize(out.size() - std::min<size_t>(options.truncateBy, out.size()));
  return out;
}

Bytes Pcm16Bytes(const std::vector<int16_t>& samples) {
  Bytes out;
  for (int16_t s : samples) PutLe(out, static_cast<uint16_t>(s), 2);
  return out;
}

}  // namespace testing_support
