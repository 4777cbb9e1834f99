#pragma once
// An OSMesa frame set up as the golden comparisons draw into it: llvmpipe on
// the calling thread, BGRA rows top down, a pixel glOrtho with y down and
// window depth = q, colour and depth cleared to 0, depth test GL_GEQUAL
// (the engine draws a pixel whose buffer value is <= its own).
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

class MesaFrame {
public:
    MesaFrame(int w, int h) : pixels(size_t(w) * size_t(h) * 4, 0) {
        setenv("GALLIUM_DRIVER", "llvmpipe", 1);
        setenv("LP_NUM_THREADS", "0", 1);
        m_context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
        EXPECT_NE(m_context, nullptr);
        if (!m_context) return;
        OSMesaMakeCurrent(m_context, pixels.data(), GL_UNSIGNED_BYTE, w, h);
        OSMesaPixelStore(OSMESA_Y_UP, 0);
        glViewport(0, 0, w, h);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, w, h, 0, 0, -1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClearDepth(0.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_GEQUAL);
    }
    ~MesaFrame() {
        if (m_context) OSMesaDestroyContext(m_context);
    }
    MesaFrame(const MesaFrame&) = delete;
    MesaFrame& operator=(const MesaFrame&) = delete;
    bool Ready() const { return m_context != nullptr; }
    // The finished picture (B, G, R, A per pixel).
    std::vector<uint8_t> Finish() {
        if (m_context) glFinish();
        return pixels;
    }

    std::vector<uint8_t> pixels;

private:
    OSMesaContext m_context = nullptr;
};

// A nearest-filtered RGBA texture with the given wrap, bound and enabled.
inline GLuint BindNearestTexture(int w, int h, const std::vector<uint8_t>& rgba, GLint wrap) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glEnable(GL_TEXTURE_2D);
    return name;
}

// A pixel or texel of the engine's target depth (32, 24, 16, 15) as 8-bit
// channels r, g, b.
inline void UnpackPixel(const uint8_t* p, int depth, int* rgb) {
    if (depth >= 24) {
        rgb[0] = p[2], rgb[1] = p[1], rgb[2] = p[0];
        return;
    }
    const int v = p[0] | p[1] << 8;
    if (depth == 15)
        rgb[0] = (v >> 7) & 0xF8, rgb[1] = (v >> 2) & 0xF8, rgb[2] = (v << 3) & 0xFF;
    else
        rgb[0] = (v >> 8) & 0xF8, rgb[1] = (v >> 3) & 0xFC, rgb[2] = (v << 3) & 0xFF;
}
