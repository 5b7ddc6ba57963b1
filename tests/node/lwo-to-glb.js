// Has assimp read a LightWave object file and convert it to binary glTF,
// then prints what the glTF holds, as one line of JSON:
//   {"materials": [name of each primitive's material],
//    "triangles": [[[x, y, z], [x, y, z], [x, y, z]], ...]}
// with the triangles in the order of the primitives and of their indices.
// Exits with 1 and a message on stderr when assimp refuses the file or the
// glTF holds something this script does not follow (node transforms,
// primitives other than indexed triangles).
//
// Usage: node lwo-to-glb.js FILE.lwo
'use strict';

const fs = require('fs');
const path = require('path');

const FLOAT = 5126;
const INDEX_READERS = {
    5121: (view, at) => view.getUint8(at),
    5123: (view, at) => view.getUint16(at, true),
    5125: (view, at) => view.getUint32(at, true),
};
const INDEX_SIZES = {5121: 1, 5123: 2, 5125: 4};

function fail(message) {
    process.stderr.write(message + '\n');
    process.exit(1);
}

// The JSON and the binary chunk of a glb file.
function splitGlb(bytes) {
    const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    if (view.getUint32(0, true) !== 0x46546c67) { // "glTF"
        fail('assimp did not write a glb file');
    }
    let gltf = null;
    let bin = null;
    for (let at = 12; at + 8 <= bytes.byteLength;) {
        const length = view.getUint32(at, true);
        const type = view.getUint32(at + 4, true);
        const data = bytes.subarray(at + 8, at + 8 + length);
        if (type === 0x4e4f534a) { // "JSON"
            gltf = JSON.parse(new TextDecoder().decode(data));
        } else if (type === 0x004e4942) { // "BIN\0"
            bin = data;
        }
        at += 8 + length;
    }
    if (gltf === null || bin === null) {
        fail('the glb file lacks its JSON or its binary chunk');
    }
    return {gltf, bin};
}

// Element `i` of accessor `index`: an array of `width` numbers.
function reader(gltf, bin, index) {
    const accessor = gltf.accessors[index];
    if (accessor.sparse !== undefined) {
        fail('sparse accessors are not read');
    }
    const bufferView = gltf.bufferViews[accessor.bufferView];
    const view = new DataView(bin.buffer, bin.byteOffset, bin.byteLength);
    const start = (bufferView.byteOffset || 0) + (accessor.byteOffset || 0);
    if (accessor.componentType === FLOAT) {
        const stride = bufferView.byteStride || 12;
        return (i) => [0, 1, 2].map((c) => view.getFloat32(start + i * stride + c * 4, true));
    }
    const size = INDEX_SIZES[accessor.componentType];
    const read = INDEX_READERS[accessor.componentType];
    if (size === undefined) {
        fail('unexpected component type ' + accessor.componentType);
    }
    return (i) => read(view, start + i * (bufferView.byteStride || size));
}

function meshesOf(gltf, nodeIndex, meshes) {
    const node = gltf.nodes[nodeIndex];
    for (const key of ['matrix', 'translation', 'rotation', 'scale']) {
        if (node[key] !== undefined) {
            fail('node ' + nodeIndex + ' has a ' + key);
        }
    }
    if (node.mesh !== undefined) {
        meshes.push(gltf.meshes[node.mesh]);
    }
    for (const child of node.children || []) {
        meshesOf(gltf, child, meshes);
    }
}

function describe({gltf, bin}) {
    const meshes = [];
    for (const root of gltf.scenes[gltf.scene || 0].nodes) {
        meshesOf(gltf, root, meshes);
    }
    const result = {materials: [], triangles: []};
    for (const mesh of meshes) {
        for (const primitive of mesh.primitives) {
            if ((primitive.mode ?? 4) !== 4 || primitive.indices === undefined) {
                fail('only indexed triangles are read');
            }
            result.materials.push(gltf.materials[primitive.material].name);
            const position = reader(gltf, bin, primitive.attributes.POSITION);
            const index = reader(gltf, bin, primitive.indices);
            const count = gltf.accessors[primitive.indices].count;
            for (let i = 0; i + 2 < count; i += 3) {
                result.triangles.push([index(i), index(i + 1), index(i + 2)].map(position));
            }
        }
    }
    return result;
}

if (process.argv.length !== 3) {
    fail('usage: node lwo-to-glb.js FILE.lwo');
}
const file = process.argv[2];
require('assimpjs')().then((assimp) => {
    const files = new assimp.FileList();
    files.AddFile(path.basename(file), new Uint8Array(fs.readFileSync(file)));
    const result = assimp.ConvertFileList(files, 'glb2');
    if (!result.IsSuccess() || result.FileCount() === 0) {
        fail('assimp refused ' + file + ': ' + result.GetErrorCode());
    }
    process.stdout.write(JSON.stringify(describe(splitGlb(result.GetFile(0).GetContent()))) + '\n');
});
