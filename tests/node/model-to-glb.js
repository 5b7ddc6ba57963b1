// Has assimp read an exported model (with the files beside it that it
// names, such as an OBJ file's material library) and convert it to binary
// glTF, then prints what the glTF holds, as one line of JSON:
//   {"materials": [name of each primitive's material],
//    "triangles": [[[x, y, z], [x, y, z], [x, y, z]], ...],
//    "uvs": [[[u, v], [u, v], [u, v]], ...]}
// with the triangles in the order of the nodes, their primitives and their
// indices; "uvs" holds the texture coordinates of the triangles whose
// primitive has them, in the same order. Only the layout assimp writes for our files is read: a glTF with
// node transforms, sparse accessors, byte strides, indices other than u32 or
// primitives other than indexed triangles exits with 1 and a message on
// stderr, as does a file assimp refuses, so that the test fails rather than
// pass on data misread.
//
// Usage: node model-to-glb.js FILE [OTHER FILE...]
'use strict';

const fs = require('fs');
const path = require('path');

const FLOAT = 5126;
const UNSIGNED_INT = 5125;

function fail(message) {
    process.stderr.write('model-to-glb.js: ' + message + '\n');
    process.exit(1);
}

function need(condition, what) {
    if (!condition) {
        fail('the glTF has ' + what + ', which this script does not read');
    }
}

// The JSON and the binary chunk of a glb file, which come in this order.
function splitGlb(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    const chunk = (at, type) => {
        if (at + 8 > bytes.byteLength || view.getUint32(at + 4, true) !== type) {
            fail('assimp did not write a glb file with a JSON and a binary chunk');
        }
        return bytes.subarray(at + 8, at + 8 + view.getUint32(at, true));
    };
    const json = chunk(12, 0x4e4f534a); // "JSON"
    const bin = chunk(20 + json.byteLength, 0x004e4942); // "BIN\0"
    return {gltf: JSON.parse(new TextDecoder().decode(json)), bin};
}

// The bytes of an accessor whose elements are `size` bytes, packed.
function accessorData(gltf, bin, index, componentType, type, size) {
    const accessor = gltf.accessors[index];
    need(accessor.sparse === undefined, 'a sparse accessor');
    need(accessor.componentType === componentType && accessor.type === type,
        `an accessor of ${accessor.type} ${accessor.componentType}`);
    const bufferView = gltf.bufferViews[accessor.bufferView];
    need(bufferView.byteStride === undefined, 'a byte stride');
    const start = bin.byteOffset + (bufferView.byteOffset || 0) + (accessor.byteOffset || 0);
    return {view: new DataView(bin.buffer, start, accessor.count * size), count: accessor.count};
}

function describe({gltf, bin}) {
    const result = {materials: [], triangles: [], uvs: []};
    for (const node of gltf.nodes) {
        for (const key of ['matrix', 'translation', 'rotation', 'scale']) {
            need(node[key] === undefined, 'a node ' + key);
        }
        for (const primitive of node.mesh === undefined ? [] : gltf.meshes[node.mesh].primitives) {
            need((primitive.mode ?? 4) === 4 && primitive.indices !== undefined,
                'primitives other than indexed triangles');
            result.materials.push(gltf.materials[primitive.material].name);
            const points = accessorData(gltf, bin, primitive.attributes.POSITION, FLOAT, 'VEC3', 12);
            const indices = accessorData(gltf, bin, primitive.indices, UNSIGNED_INT, 'SCALAR', 4);
            need(indices.count % 3 === 0, 'a partial triangle');
            const uvIndex = primitive.attributes.TEXCOORD_0;
            const uvs = uvIndex === undefined ? undefined
                : accessorData(gltf, bin, uvIndex, FLOAT, 'VEC2', 8);
            const corner = (i, data, size) => {
                const point = indices.view.getUint32(4 * i, true);
                need(point < data.count, 'an index past its points');
                return [0, 4, 8].slice(0, size).map((at) =>
                    data.view.getFloat32(size * 4 * point + at, true));
            };
            for (let i = 0; i < indices.count; i += 3) {
                result.triangles.push([0, 1, 2].map((k) => corner(i + k, points, 3)));
                if (uvs !== undefined) {
                    result.uvs.push([0, 1, 2].map((k) => corner(i + k, uvs, 2)));
                }
            }
        }
    }
    return result;
}

if (process.argv.length < 3) {
    fail('usage: node model-to-glb.js FILE [OTHER FILE...]');
}
const file = process.argv[2];
require('assimpjs')().then((assimp) => {
    const files = new assimp.FileList();
    for (const each of process.argv.slice(2)) {
        files.AddFile(path.basename(each), new Uint8Array(fs.readFileSync(each)));
    }
    const result = assimp.ConvertFileList(files, 'glb2');
    if (!result.IsSuccess() || result.FileCount() === 0) {
        fail('assimp refused ' + file + ': ' + result.GetErrorCode());
    }
    process.stdout.write(JSON.stringify(describe(splitGlb(result.GetFile(0).GetContent()))) + '\n');
});
