#include "gl_backend.h"

#include <cstdio>

#include <GLES2/gl2.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define NANOVG_GLES2_IMPLEMENTATION
#include <nanovg_gl.h>
#include <nanovg_gl_utils.h>
#pragma GCC diagnostic pop

// What the renderer draws with. Gradients render in their start colour
// (no gradient evaluation on the panel's GPU); image and layer texels are
// taken as straight alpha, and nearly transparent ones are dropped so the
// pixel underneath survives.
static const char* fragmentHeader =
    "#version 100\n"
    "#define UNIFORMARRAY_SIZE 11\n"
    "#define EDGE_AA 1\n";

static const char* fragmentProgram = R"(
precision mediump float;
uniform vec4 frag[UNIFORMARRAY_SIZE];
uniform sampler2D tex;
varying vec2 ftcoord;
varying vec2 fpos;
#define scissorMat mat3(frag[0].xyz, frag[1].xyz, frag[2].xyz)
#define paintMat mat3(frag[3].xyz, frag[4].xyz, frag[5].xyz)
#define innerCol frag[6]
#define scissorExt frag[8].xy
#define scissorScale frag[8].zw
#define extent frag[9].xy
#define strokeMult frag[10].x
#define paintType frag[10].w

float scissorMask(vec2 p) {
  vec2 sc = (abs((scissorMat * vec3(p, 1.0)).xy) - scissorExt);
  sc = vec2(0.5, 0.5) - sc * scissorScale;
  return clamp(sc.x, 0.0, 1.0) * clamp(sc.y, 0.0, 1.0);
}

float strokeMask() {
  return min(1.0, (1.0 - abs(ftcoord.x * 2.0 - 1.0)) * strokeMult) * min(1.0, ftcoord.y);
}

void main(void) {
  float s = scissorMask(fpos);
  if (s < 0.0001) discard;
  float k = strokeMask();
  if (paintType == 0.0) {
    s *= k;
    if (s < 0.0001) discard;
    gl_FragColor = innerCol * s;
  } else if (paintType == 1.0) {
    vec2 pt = (paintMat * vec3(fpos, 1.0)).xy / extent;
    vec4 texel = texture2D(tex, pt);
    s *= texel.a;
    if (s < 0.1) discard;
    gl_FragColor = vec4(texel.rgb * s, s);
  } else if (paintType == 2.0) {
    gl_FragColor = vec4(1.0, 1.0, 1.0, 1.0);
  } else {
    gl_FragColor = innerCol * texture2D(tex, ftcoord).r * s;
  }
}
)";

static void printShaderLog(GLuint object, bool isProgram) {
  char log[2048];
  GLsizei length = 0;
  if (isProgram)
    glGetProgramInfoLog(object, sizeof log, &length, log);
  else
    glGetShaderInfoLog(object, sizeof log, &length, log);
  fprintf(stderr, "Fragment program: %.*s\n", int(length), log);
}

// Links our fragment program with the back end's compiled vertex program and
// puts it in place of the original one.
static bool replaceFragmentProgram(GLNVGcontext* gl) {
  GLuint frag = glCreateShader(GL_FRAGMENT_SHADER);
  const char* parts[2] = {fragmentHeader, fragmentProgram};
  glShaderSource(frag, 2, parts, nullptr);
  glCompileShader(frag);
  GLint status = 0;
  glGetShaderiv(frag, GL_COMPILE_STATUS, &status);
  if (status != GL_TRUE) {
    printShaderLog(frag, false);
    glDeleteShader(frag);
    return false;
  }
  GLuint prog = glCreateProgram();
  glAttachShader(prog, gl->shader.vert);
  glAttachShader(prog, frag);
  glBindAttribLocation(prog, 0, "vertex");
  glBindAttribLocation(prog, 1, "tcoord");
  glLinkProgram(prog);
  glGetProgramiv(prog, GL_LINK_STATUS, &status);
  if (status != GL_TRUE) {
    printShaderLog(prog, true);
    glDeleteProgram(prog);
    glDeleteShader(frag);
    return false;
  }
  glDeleteProgram(gl->shader.prog);
  glDeleteShader(gl->shader.frag);
  gl->shader.prog = prog;
  gl->shader.frag = frag;
  glnvg__getUniforms(&gl->shader);
  return true;
}

NVGcontext* createRenderer() {
  NVGcontext* vg = nvgCreateGLES2(NVG_ANTIALIAS);
  if (!vg) return nullptr;
  if (!replaceFragmentProgram(static_cast<GLNVGcontext*>(nvgInternalParams(vg)->userPtr))) {
    nvgDeleteGLES2(vg);
    return nullptr;
  }
  return vg;
}

void deleteRenderer(NVGcontext* vg) { nvgDeleteGLES2(vg); }

void nvgFlush(NVGcontext* vg) {
  NVGparams* params = nvgInternalParams(vg);
  params->renderFlush(params->userPtr);
}

NVGLUframebuffer* createSurface(NVGcontext* vg) { return nvgluCreateFramebuffer(vg, 1024, 600, NVG_IMAGE_NEAREST); }

int surfaceImage(const NVGLUframebuffer* surface) { return surface->image; }

void bindSurface(NVGLUframebuffer* surface) { nvgluBindFramebuffer(surface); }

void deleteSurface(NVGLUframebuffer* surface) { nvgluDeleteFramebuffer(surface); }
